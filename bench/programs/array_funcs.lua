-- Arrays passed to functions and returned from them.
local function make(n, seed)
    local a = {}
    for i = 0, n - 1 do
        a[#a + 1] = (i * seed + 3) % 101
    end
    return a
end

local function scale(a, k)
    local b = {}
    for _, x in ipairs(a) do
        b[#b + 1] = x * k
    end
    return b
end

local function total(a)
    local s = 0
    for _, x in ipairs(a) do
        s = s + x
    end
    return s
end

local function ends(a)
    return {a[1], a[#a]}
end

local function main()
    local acc = 0
    local last = {}
    for r = 0, 40000 - 1 do
        local a = make(60, r + 1)
        local b = scale(a, 3)
        acc = acc + total(b) - total(a)
        last = ends(b)
        acc = acc + last[1] + last[2]
    end
    print(acc)
    print("[" .. table.concat(last, ", ") .. "]")
end

main()
