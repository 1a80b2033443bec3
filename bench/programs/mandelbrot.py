# Float arithmetic: escape-time Mandelbrot set on a grid, with float checksums.
def fmt(x):
    # Shortest round-trip digits, integral floats without ".0" (values stay in 1e-4..1e16).
    r = repr(x)
    return r[:-2] if r.endswith(".0") else r


def main():
    size = 400
    max_iter = 50
    step = 3.0 / 400.0
    inside = 0
    total_iter = 0
    zsum = 0.0
    ci = -1.5
    for py in range(0, size):
        cr = -2.0
        for px in range(0, size):
            zr = 0.0
            zi = 0.0
            n = 0
            while n < max_iter and zr * zr + zi * zi <= 4.0:
                t = zr * zr - zi * zi + cr
                zi = 2.0 * zr * zi + ci
                zr = t
                n += 1
            if n == max_iter:
                inside += 1
            else:
                zsum = zsum + zr * zr + zi * zi
            total_iter += n
            cr = cr + step
        ci = ci + step
    print(inside)
    print(total_iter)
    print(fmt(zsum))
    print(fmt(ci))


main()
