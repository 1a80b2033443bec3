# Array growth by appending, then indexed reads.
def main():
    a = []
    for i in range(0, 1000000):
        a.append(i * 7 % 1000)
    n = len(a)
    total = 0
    i = 0
    while i < n:
        total = total + a[i]
        i += 1
    print(n)
    print(total)
    print(a[n - 1])


main()
