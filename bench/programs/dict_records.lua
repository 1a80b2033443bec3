-- Table records: an array of table constructors, built once and scanned by field.
local function main()
    local names = {"bolt", "nut", "gear", "spring", "lever", "wheel", "axle"}
    local recs = {}
    for i = 0, 60000 - 1 do
        recs[#recs + 1] = {id = i, name = names[i % 7 + 1], price = i % 97 + 1, qty = i % 13, tag = "t" .. (i % 5)}
    end
    local total = 0
    local count = 0
    local gears = 0
    for pass = 0, 20 - 1 do
        for _, r in ipairs(recs) do
            if r.qty > 6 then
                total = total + r.price * r["qty"]
                count = count + 1
            end
            if r["name"] == "gear" and r.tag == "t3" then
                gears = gears + r.id % 10
            end
        end
    end
    print(#recs)
    print(total)
    print(count)
    print(gears)
    local r = recs[12345 + 1]
    print(r.id .. " " .. r.name .. " " .. r.price .. " " .. r.qty .. " " .. r.tag)
end

main()
