# Integer loops: two nested while loops with arithmetic on counters.
def main():
    total = 0
    i = 0
    while i < 6000:
        j = 0
        while j < 1000:
            total = total + (i * j + j) % 7
            j += 1
        i += 1
    print(total)
    print(i)


main()
