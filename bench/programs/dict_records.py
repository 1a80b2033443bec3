# Dict records: a list of dict literals, built once and scanned by key.
def main():
    names = ["bolt", "nut", "gear", "spring", "lever", "wheel", "axle"]
    recs = []
    for i in range(0, 60000):
        recs.append({"id": i, "name": names[i % 7], "price": i % 97 + 1, "qty": i % 13, "tag": "t" + str(i % 5)})
    total = 0
    count = 0
    gears = 0
    for p in range(0, 20):
        for r in recs:
            if r["qty"] > 6:
                total = total + r["price"] * r["qty"]
                count += 1
            if r["name"] == "gear" and r["tag"] == "t3":
                gears = gears + r["id"] % 10
    print(len(recs))
    print(total)
    print(count)
    print(gears)
    r = recs[12345]
    print(str(r["id"]) + " " + r["name"] + " " + str(r["price"]) + " " + str(r["qty"]) + " " + r["tag"])


main()
