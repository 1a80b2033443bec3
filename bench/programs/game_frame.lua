-- A "game frame" loop: every frame builds rect, circle and color tuples (tables of
-- the same numbers) from computed positions and discards them.
local function main()
    local checksum = 0
    local shapes = 0
    local r = {0, 0, 0, 0}
    local c = {0, 0, 0}
    local col = {0, 0, 0}
    for frame = 0, 40000 - 1 do
        for k = 0, 30 - 1 do
            local x = (frame * 3 + k * 17) % 640
            local y = (frame * 5 + k * 11) % 480
            r = {x, y, 20 + k, 10 + k}
            c = {x + 5, y + 5, k % 9 + 1}
            col = {k * 8 % 256, frame % 256, 128}
            checksum = (checksum + x * 3 + y + k) % 1000003
            shapes = shapes + 3
        end
    end
    print(checksum)
    print(shapes)
    print(string.format("Rect(%d, %d, %d, %d)", r[1], r[2], r[3], r[4]))
    print(string.format("Circle(%d, %d, %d)", c[1], c[2], c[3]))
    print(string.format("Color(%d, %d, %d)", col[1], col[2], col[3]))
end

main()
