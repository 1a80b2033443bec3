# Dict reads by key (Python has no member syntax for dicts: every read is d["k"]),
# also through a parameter.
def area(c):
    return c["width"] * c["height"]


def main():
    cfg = {"width": 640, "height": 480, "speed": 3, "gravity": 2, "friction": 5, "name": "ball"}
    acc = 0
    for i in range(0, 900000):
        acc = acc + cfg["width"] - cfg["height"] + (cfg["speed"] * i) % cfg["friction"] + cfg["gravity"]
        if cfg["name"] == "ball":
            acc = acc + 1
        acc = acc + area(cfg) % 1000
    print(acc)
    print(cfg["name"])


main()
