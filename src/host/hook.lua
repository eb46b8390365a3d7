-- The hook dispatcher. The runtime calls hook.call with a callback name and
-- up to four arguments; every function a script added for that name runs in
-- the order it was added. hook.call returns 1 when no entry exists for the
-- name (the runtime then stops making that callback) and 0 otherwise.

print = kelvo.print
dofile = kelvo.dofile

hook = {}
hook.Hooks = {}

local Hooks = hook.Hooks
local tremove = table.remove

function hook.getTable()
    return Hooks
end

function hook.add(name, func)
    local list = Hooks[name]
    if list == nil then
        list = {}
        Hooks[name] = list
    end
    list[#list + 1] = func
end

function hook.remove(name, func)
    local list = Hooks[name]
    if list == nil then
        list = {}
        Hooks[name] = list
    end
    for i = 1, #list do
        if list[i] == func then
            tremove(list, i)
            return
        end
    end
end

function hook.call(name, a, b, c, d)
    local list = Hooks[name]
    if list == nil then
        return 1
    end
    local dead
    for key, func in pairs(list) do
        if not func then
            print("Hook '" .. tostring(name) .. "' tried to call a nil function!")
            dead = dead or {}
            dead[#dead + 1] = key
        else
            func(a, b, c, d)
        end
    end
    -- Dead entries are taken out after the walk, highest index first, so the
    -- walk never sees the array shift under it.
    if dead then
        table.sort(dead, function(x, y)
            return type(x) == "number" and (type(y) ~= "number" or x > y)
        end)
        for _, key in ipairs(dead) do
            if type(key) == "number" and key >= 1 and key <= #list then
                tremove(list, key)
            else
                list[key] = nil
            end
        end
    end
    return 0
end
