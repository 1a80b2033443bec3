-- String building with .. and the string library
-- (split, upper, lower, sub, find, #).
local function split(s, sep)
    local parts = {}
    local start = 1
    while true do
        local i, j = string.find(s, sep, start, true)
        if not i then
            parts[#parts + 1] = string.sub(s, start)
            return parts
        end
        parts[#parts + 1] = string.sub(s, start, i - 1)
        start = j + 1
    end
end

local function main()
    local words = split("alpha,Beta,gamma,DELTA,epsilon,Zeta,eta,THETA", ",")
    local total = 0
    local hits = 0
    local pieces = 0
    local line = ""
    local sample = ""
    for r = 0, 600000 - 1 do
        local w = words[r % 8 + 1]
        local key = w .. ":" .. string.upper(w)
        local s = key .. "-" .. string.lower(w) .. "-" .. tostring(r)
        total = total + #s
        if string.find(s, "TA-", 1, true) then
            hits = hits + 1
        end
        line = line .. string.sub(s, 2, 5)
        if r % 400 == 399 then
            local parts = split(line, "ET")
            pieces = pieces + #parts
            total = total + #line
            sample = parts[2]
            line = ""
        end
    end
    print(total)
    print(hits)
    print(pieces)
    print(sample)
    print(string.upper(string.sub(sample, 3, 12)))
end

main()
