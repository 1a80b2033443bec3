-- Integer loops: nested for loops over ranges.
local function main()
    local total = 0
    local last = 0
    for i = 0, 7500 - 1 do
        for j = 0, 1000 - 1 do
            total = total + (i + j * 3) % 11
        end
        last = i
    end
    print(total)
    print(last)
end

main()
