# A "game frame" loop: every frame builds rect, circle and color tuples of the same
# numbers from computed positions and discards them.
def main():
    checksum = 0
    shapes = 0
    r = (0, 0, 0, 0)
    c = (0, 0, 0)
    col = (0, 0, 0)
    for frame in range(0, 40000):
        for k in range(0, 30):
            x = (frame * 3 + k * 17) % 640
            y = (frame * 5 + k * 11) % 480
            r = (x, y, 20 + k, 10 + k)
            c = (x + 5, y + 5, k % 9 + 1)
            col = (k * 8 % 256, frame % 256, 128)
            checksum = (checksum + x * 3 + y + k) % 1000003
            shapes += 3
    print(checksum)
    print(shapes)
    print("Rect(%d, %d, %d, %d)" % r)
    print("Circle(%d, %d, %d)" % c)
    print("Color(%d, %d, %d)" % col)


main()
