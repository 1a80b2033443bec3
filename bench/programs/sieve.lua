-- Sieve of Eratosthenes, written as in the Quenra twin: each prime's
-- crossing-out pass rebuilds the flag array by appending.
local function sieve(n)
    local flags = {}
    for i = 0, n do
        flags[#flags + 1] = true
    end
    local p = 2
    while p * p <= n do
        if flags[p + 1] then
            local next = {}
            local m = p * p
            for i = 0, n do
                if i == m then
                    next[#next + 1] = false
                    m = m + p
                else
                    next[#next + 1] = flags[i + 1]
                end
            end
            flags = next
        end
        p = p + 1
    end
    local count = 0
    local last = 0
    for i = 2, n do
        if flags[i + 1] then
            count = count + 1
            last = i
        end
    end
    return {count, last}
end

local function main()
    local r = sieve(100000)
    print(r[1])
    print(r[2])
end

main()
