-- Float arithmetic: escape-time Mandelbrot set on a grid, with float checksums.
local function fmt(x)
    -- Shortest round-trip digits in positional notation, integral floats without ".0".
    if math.type(x) == "integer" then return tostring(x) end
    for p = 0, 16 do
        local s = string.format("%." .. p .. "e", x)
        if tonumber(s) == x then
            local e = tonumber(s:match("e([-+]%d+)$"))
            local decimals = p - e
            if decimals < 0 then decimals = 0 end
            return string.format("%." .. decimals .. "f", x)
        end
    end
    return string.format("%.17g", x)
end

local function main()
    local size = 400
    local max_iter = 50
    local step = 3.0 / 400.0
    local inside = 0
    local total_iter = 0
    local zsum = 0.0
    local ci = -1.5
    for py = 0, size - 1 do
        local cr = -2.0
        for px = 0, size - 1 do
            local zr = 0.0
            local zi = 0.0
            local n = 0
            while n < max_iter and zr * zr + zi * zi <= 4.0 do
                local t = zr * zr - zi * zi + cr
                zi = 2.0 * zr * zi + ci
                zr = t
                n = n + 1
            end
            if n == max_iter then
                inside = inside + 1
            else
                zsum = zsum + zr * zr + zi * zi
            end
            total_iter = total_iter + n
            cr = cr + step
        end
        ci = ci + step
    end
    print(inside)
    print(total_iter)
    print(fmt(zsum))
    print(fmt(ci))
end

main()
