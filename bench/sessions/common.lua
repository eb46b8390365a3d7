-- The exchange both runtimes run, written once: run.py copies this file next
-- to each game, whose adapter supplies send(kind, values), quit() and the
-- calls connected(), onPacket(kind, values), peerLeft() and frame().
--
-- Every packet is 8 values {int, int, int, int, float, float, boolean, text}.
-- latency:    both sides send one packet a frame at 60 frames/s; the
--             client's packet carries its sequence number, the host's the
--             last number it got, and the client times each number's return.
-- throughput: the client sends batches of packets as fast as it can for
--             the given seconds, never more than WINDOW ahead of what the
--             host reported receiving; the host, at 60 frames/s, counts them
--             and times its main thread over the run.
local ffi = require("ffi")
ffi.cdef [[
    typedef struct { long sec; long nsec; } bench_timespec;
    int clock_gettime(int clock, bench_timespec* out);
    int nanosleep(const bench_timespec* wanted, bench_timespec* left);
]]
local CLOCK_MONOTONIC, CLOCK_PROCESS_CPUTIME_ID, CLOCK_THREAD_CPUTIME_ID = 1, 2, 3
local LAT, DATA, PROGRESS, FINISHED, BYE = 1, 2, 3, 4, 5
local WINDOW, BATCH, WARMUP = 20000, 100, 60

local M = {LAT = LAT, DATA = DATA, PROGRESS = PROGRESS, FINISHED = FINISHED, BYE = BYE}
local ts, wanted = ffi.new("bench_timespec"), ffi.new("bench_timespec")

local function clock(which)
    ffi.C.clock_gettime(which, ts)
    return tonumber(ts.sec) + tonumber(ts.nsec) * 1e-9
end
function M.now() return clock(CLOCK_MONOTONIC) end
local function threadCpu() return clock(CLOCK_THREAD_CPUTIME_ID) end
local function processCpu() return clock(CLOCK_PROCESS_CPUTIME_ID) end

local function sleep(seconds)
    if seconds <= 0 then return end
    wanted.sec = math.floor(seconds)
    wanted.nsec = (seconds - math.floor(seconds)) * 1e9
    ffi.C.nanosleep(wanted, nil)
end

function M.report(format, ...)
    io.stdout:write("result " .. string.format(format, ...) .. "\n")
    io.stdout:flush()
end

local function percentile(values, p)
    local sorted = {}
    for i, v in ipairs(values) do sorted[i] = v end
    table.sort(sorted)
    return sorted[math.max(1, math.ceil(p * #sorted))]
end

function M.config()
    return {role = os.getenv("BENCH_ROLE") or "host", test = os.getenv("BENCH_TEST") or "latency",
            port = tonumber(os.getenv("BENCH_PORT") or "3000"),
            samples = tonumber(os.getenv("BENCH_SAMPLES") or "600"),
            seconds = tonumber(os.getenv("BENCH_SECONDS") or "5"),
            limit = tonumber(os.getenv("BENCH_LIMIT") or "60")}
end

-- The bench for one side; `transport` = {send = function(kind, values), quit = function()}.
function M.new(cfg, transport)
    local b = {paced = cfg.role == "host" or cfg.test == "latency"}
    local send, started, nextFrame = transport.send, M.now(), nil
    local peer = false
    local seq, lastFromPeer, lastEcho, sentAt, rtts, frames = 0, 0, 0, {}, {}, 0
    local sent, acked, sendingSince, finished = 0, 0, nil, false
    local count, disorder, first, firstCpu, firstProcess = 0, 0, nil, nil, nil
    local quitting = nil

    local function quit(after)
        quitting = quitting or frames + (after or 0)
    end

    function b.connected() peer = true end
    function b.peerLeft()
        peer = false
        if cfg.role == "client" then quit() end
    end

    function b.onPacket(kind, v)
        if kind == LAT then
            lastFromPeer = v[1]
            if cfg.role == "client" and v[2] > lastEcho then
                lastEcho = v[2]
                if v[2] > WARMUP and sentAt[v[2]] then rtts[#rtts + 1] = (M.now() - sentAt[v[2]]) * 1000 end
                sentAt[v[2]] = nil
            end
        elseif kind == DATA then
            if not first then first, firstCpu, firstProcess = M.now(), threadCpu(), processCpu() end
            count = count + 1
            if v[1] ~= count then disorder = disorder + 1 end
        elseif kind == PROGRESS then
            acked = v[1]
        elseif kind == FINISHED then
            local seconds = M.now() - first
            M.report("test=throughput packets=%d sent=%d disorder=%d seconds=%.3f rate=%.0f " ..
                         "main_cpu_ms_per_1000=%.3f process_cpu_ms_per_1000=%.3f",
                     count, v[1], disorder, seconds, count / seconds,
                     (threadCpu() - firstCpu) * 1e6 / count, (processCpu() - firstProcess) * 1e6 / count)
            send(BYE, {0, 0, 0, 0, 0, 0, false, ""})
            quit(10)
        elseif kind == BYE then
            quit(cfg.role == "client" and 10 or 0)
        end
    end

    local function latencyFrame()
        if not peer then return end
        if cfg.role == "client" then
            seq = seq + 1
            sentAt[seq] = M.now()
            send(LAT, {seq, lastFromPeer, 3, 4, 0.5, 1.25, true, "abc"})
            if #rtts >= cfg.samples and not finished then
                finished = true
                local sum = 0
                for _, r in ipairs(rtts) do sum = sum + r end
                M.report("test=latency samples=%d p50_ms=%.3f p99_ms=%.3f mean_ms=%.3f", #rtts,
                         percentile(rtts, 0.5), percentile(rtts, 0.99), sum / #rtts)
                send(BYE, {0, 0, 0, 0, 0, 0, false, ""})
                quit(10)
            end
        else
            seq = seq + 1
            send(LAT, {seq, lastFromPeer, 3, 4, 0.5, 1.25, true, "abc"})
        end
    end

    local function throughputFrame()
        if not peer then return end
        if cfg.role == "host" then
            send(PROGRESS, {count, 0, 0, 0, 0, 0, false, ""})
            return
        end
        sendingSince = sendingSince or M.now()
        if M.now() - sendingSince < cfg.seconds then
            if sent - acked < WINDOW then
                for _ = 1, BATCH do
                    sent = sent + 1
                    send(DATA, {sent, 2, 3, 4, 0.5, 1.25, true, "abc"})
                end
            end
        elseif not finished then
            finished = true
            send(FINISHED, {sent, 0, 0, 0, 0, 0, false, ""})
        end
    end

    -- Called once a frame, after what arrived was delivered.
    function b.frame()
        frames = frames + 1
        if quitting and frames >= quitting then
            transport.quit()
            return
        end
        if M.now() - started > cfg.limit then
            M.report("error=timeout test=%s role=%s", cfg.test, cfg.role)
            transport.quit()
            return
        end
        if cfg.test == "latency" then latencyFrame() else throughputFrame() end
    end

    -- Called at the end of each frame: waits for the next 60th of a second.
    function b.pace()
        if not b.paced then return end
        local t = M.now()
        nextFrame = math.max((nextFrame or t) + 1 / 60, t)
        sleep(nextFrame - t)
    end

    return b
end

return M
