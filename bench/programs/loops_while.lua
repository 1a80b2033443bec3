-- Integer loops: two nested while loops with arithmetic on counters.
local function main()
    local total = 0
    local i = 0
    while i < 6000 do
        local j = 0
        while j < 1000 do
            total = total + (i * j + j) % 7
            j = j + 1
        end
        i = i + 1
    end
    print(total)
    print(i)
end

main()
