# Nested-list trees: build complete binary trees as [left, right] ([] is a leaf),
# walk them, and drop them.
def make(d):
    if d == 0:
        return []
    return [make(d - 1), make(d - 1)]


def check(t):
    if len(t) == 0:
        return 1
    return 1 + check(t[0]) + check(t[1])


def main():
    min_depth = 4
    max_depth = 14
    print("stretch tree of depth " + str(max_depth + 1) + " check " + str(check(make(max_depth + 1))))
    long_lived = make(max_depth)
    d = min_depth
    while d <= max_depth:
        iters = 2 ** (max_depth - d + min_depth)
        c = 0
        for i in range(0, iters):
            c = c + check(make(d))
        print(str(iters) + " trees of depth " + str(d) + " check " + str(c))
        d += 2
    print("long lived tree of depth " + str(max_depth) + " check " + str(check(long_lived)))


main()
