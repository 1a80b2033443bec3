# String building with + and the str methods
# (split, upper, lower, slicing, in, len).
def main():
    words = "alpha,Beta,gamma,DELTA,epsilon,Zeta,eta,THETA".split(",")
    total = 0
    hits = 0
    pieces = 0
    line = ""
    sample = ""
    for r in range(0, 600000):
        w = words[r % 8]
        key = w + ":" + w.upper()
        s = key + "-" + w.lower() + "-" + str(r)
        total = total + len(s)
        if "TA-" in s:
            hits += 1
        line = line + s[1:5]
        if r % 400 == 399:
            parts = line.split("ET")
            pieces = pieces + len(parts)
            total = total + len(line)
            sample = parts[1]
            line = ""
    print(total)
    print(hits)
    print(pieces)
    print(sample)
    print(sample[2:12].upper())


main()
