-- Array growth by appending, then indexed reads.
local function main()
    local a = {}
    for i = 0, 1000000 - 1 do
        a[#a + 1] = i * 7 % 1000
    end
    local n = #a
    local sum = 0
    local i = 0
    while i < n do
        sum = sum + a[i + 1]
        i = i + 1
    end
    print(n)
    print(sum)
    print(a[n])
end

main()
