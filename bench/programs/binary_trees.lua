-- Nested-table trees: build complete binary trees as {left, right} ({} is a leaf),
-- walk them, and drop them.
local function make(d)
    if d == 0 then
        return {}
    end
    return {make(d - 1), make(d - 1)}
end

local function check(t)
    if #t == 0 then
        return 1
    end
    return 1 + check(t[1]) + check(t[2])
end

local function main()
    local min_depth = 4
    local max_depth = 14
    print("stretch tree of depth " .. (max_depth + 1) .. " check " .. check(make(max_depth + 1)))
    local long_lived = make(max_depth)
    local d = min_depth
    while d <= max_depth do
        local iters = 1 << (max_depth - d + min_depth)
        local c = 0
        for i = 0, iters - 1 do
            c = c + check(make(d))
        end
        print(iters .. " trees of depth " .. d .. " check " .. c)
        d = d + 2
    end
    print("long lived tree of depth " .. max_depth .. " check " .. check(long_lived))
end

main()
