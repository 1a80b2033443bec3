-- Table reads by key (d["k"]) and by field (d.k), also through a parameter.
local function area(c)
    return c.width * c["height"]
end

local function main()
    local cfg = {width = 640, height = 480, speed = 3, gravity = 2, friction = 5, name = "ball"}
    local acc = 0
    for i = 0, 900000 - 1 do
        acc = acc + cfg.width - cfg["height"] + (cfg.speed * i) % cfg["friction"] + cfg.gravity
        if cfg.name == "ball" then
            acc = acc + 1
        end
        acc = acc + area(cfg) % 1000
    end
    print(acc)
    print(cfg["name"])
end

main()
