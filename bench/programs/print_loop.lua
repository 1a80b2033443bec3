-- A long-running print loop (run with standard output redirected to a file).
local function main()
    for i = 0, 3000000 - 1 do
        print(i * 7919 % 100003)
    end
    print("done")
end

main()
