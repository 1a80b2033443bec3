# Integer loops: nested for loops over ranges.
def main():
    total = 0
    last = 0
    for i in range(0, 7500):
        for j in range(0, 1000):
            total = total + (i + j * 3) % 11
        last = i
    print(total)
    print(last)


main()
