# Arrays passed to functions and returned from them.
def make(n, seed):
    a = []
    for i in range(0, n):
        a.append((i * seed + 3) % 101)
    return a


def scale(a, k):
    b = []
    for x in a:
        b.append(x * k)
    return b


def total(a):
    s = 0
    for x in a:
        s = s + x
    return s


def ends(a):
    return [a[0], a[len(a) - 1]]


def main():
    acc = 0
    last = []
    for r in range(0, 40000):
        a = make(60, r + 1)
        b = scale(a, 3)
        acc = acc + total(b) - total(a)
        last = ends(b)
        acc = acc + last[0] + last[1]
    print(acc)
    print(last)


main()
