# Float arithmetic: two planets around a fixed sun, integrated with a simple
# symplectic Euler step; position and energy printed at the end.
from math import sqrt


def fmt(x):
    # Shortest round-trip digits, integral floats without ".0" (values stay in 1e-4..1e16).
    r = repr(x)
    return r[:-2] if r.endswith(".0") else r


def main():
    x1 = 1.0
    y1 = 0.0
    vx1 = 0.0
    vy1 = 1.0
    x2 = -2.0
    y2 = 0.0
    vx2 = 0.0
    vy2 = -0.7
    m = 0.01
    dt = 0.001
    for step in range(0, 600000):
        r1 = sqrt(x1 * x1 + y1 * y1)
        r2 = sqrt(x2 * x2 + y2 * y2)
        dx = x1 - x2
        dy = y1 - y2
        d = sqrt(dx * dx + dy * dy)
        s1 = 1.0 / (r1 * r1 * r1)
        s2 = 1.0 / (r2 * r2 * r2)
        f = m / (d * d * d)
        vx1 = vx1 - dt * (s1 * x1 + f * dx)
        vy1 = vy1 - dt * (s1 * y1 + f * dy)
        vx2 = vx2 - dt * (s2 * x2 - f * dx)
        vy2 = vy2 - dt * (s2 * y2 - f * dy)
        x1 = x1 + dt * vx1
        y1 = y1 + dt * vy1
        x2 = x2 + dt * vx2
        y2 = y2 + dt * vy2
    e = 0.5 * (vx1 * vx1 + vy1 * vy1 + vx2 * vx2 + vy2 * vy2) - 1.0 / sqrt(x1 * x1 + y1 * y1) - 1.0 / sqrt(x2 * x2 + y2 * y2)
    print(fmt(x1))
    print(fmt(y1))
    print(fmt(x2))
    print(fmt(y2))
    print(fmt(e))


main()
