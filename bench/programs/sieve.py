# Sieve of Eratosthenes, written as in the Quenra twin: each prime's
# crossing-out pass rebuilds the flag array by appending.
def sieve(n):
    flags = []
    for i in range(0, n + 1):
        flags.append(True)
    p = 2
    while p * p <= n:
        if flags[p]:
            nxt = []
            m = p * p
            for i in range(0, n + 1):
                if i == m:
                    nxt.append(False)
                    m = m + p
                else:
                    nxt.append(flags[i])
            flags = nxt
        p += 1
    count = 0
    last = 0
    for i in range(2, n + 1):
        if flags[i]:
            count += 1
            last = i
    return [count, last]


def main():
    r = sieve(100000)
    print(r[0])
    print(r[1])


main()
