-- What the session test games share: the port the test driver passes in the
-- environment, packet values as one line, a frame pace that leaves the cores
-- to the other processes, a time limit, and the counts of the process's
-- threads and open descriptors. Loaded with dofile("../../common.lua").
local ffi = require("ffi")
ffi.cdef("int usleep(unsigned int usec);")

local common = {}
common.port = tonumber(os.getenv("PORT") or "")

-- The values 1..n of a packet table, nil included: "true,3,2.5,ab".
function common.show(values)
    local out = {}
    for i = 1, table.maxn(values) do out[i] = tostring(values[i]) end
    return table.concat(out, ",")
end

function common.nap(ms)
    ffi.C.usleep(ms * 1000)
end

-- Called every frame: ends the game with "TIMEOUT" once `seconds` passed.
local started
function common.limit(seconds)
    started = started or kelvo.getSeconds()
    if kelvo.getSeconds() - started > seconds then
        print("TIMEOUT")
        kelvo.exitGame()
    end
end

local function entries(folder)
    local n = 0
    for _, name in ipairs(kelvo.getFolderContents(folder, "*")) do
        if name ~= "." and name ~= ".." then n = n + 1 end
    end
    return n
end

function common.threads() return entries("/proc/self/task") end
function common.descriptors() return entries("/proc/self/fd") end

return common
