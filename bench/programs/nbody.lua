-- Float arithmetic: two planets around a fixed sun, integrated with a simple
-- symplectic Euler step; position and energy printed at the end.
local sqrt = math.sqrt

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
    local x1 = 1.0
    local y1 = 0.0
    local vx1 = 0.0
    local vy1 = 1.0
    local x2 = -2.0
    local y2 = 0.0
    local vx2 = 0.0
    local vy2 = -0.7
    local m = 0.01
    local dt = 0.001
    for step = 0, 600000 - 1 do
        local r1 = sqrt(x1 * x1 + y1 * y1)
        local r2 = sqrt(x2 * x2 + y2 * y2)
        local dx = x1 - x2
        local dy = y1 - y2
        local d = sqrt(dx * dx + dy * dy)
        local s1 = 1.0 / (r1 * r1 * r1)
        local s2 = 1.0 / (r2 * r2 * r2)
        local f = m / (d * d * d)
        vx1 = vx1 - dt * (s1 * x1 + f * dx)
        vy1 = vy1 - dt * (s1 * y1 + f * dy)
        vx2 = vx2 - dt * (s2 * x2 - f * dx)
        vy2 = vy2 - dt * (s2 * y2 - f * dy)
        x1 = x1 + dt * vx1
        y1 = y1 + dt * vy1
        x2 = x2 + dt * vx2
        y2 = y2 + dt * vy2
    end
    local e = 0.5 * (vx1 * vx1 + vy1 * vy1 + vx2 * vx2 + vy2 * vy2) - 1.0 / sqrt(x1 * x1 + y1 * y1) - 1.0 / sqrt(x2 * x2 + y2 * y2)
    print(fmt(x1))
    print(fmt(y1))
    print(fmt(x2))
    print(fmt(y2))
    print(fmt(e))
end

main()
