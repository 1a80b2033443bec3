# A long-running print loop (run with standard output redirected to a file).
def main():
    for i in range(0, 3000000):
        print(i * 7919 % 100003)
    print("done")


main()
