-- hook.add / hook.remove / hook.call as scripts rely on them.
local function a(x) print("a " .. tostring(x)) end
local function b(x) print("b " .. tostring(x)) end
hook.add("test", a)
hook.add("test", b)
hook.add("test", a)
print("call " .. hook.call("test", 1))
hook.remove("test", a)              -- removes only the first a
print("call " .. hook.call("test", 2))
print("absent " .. hook.call("nothing"))
hook.remove("fresh", a)             -- creates an empty entry
print("fresh " .. hook.call("fresh") .. " " .. #hook.getTable().fresh)
hook.add("bad", false)
hook.add("bad", b)
print("bad " .. hook.call("bad", 3))
print("bad again " .. hook.call("bad", 4) .. " " .. #hook.getTable().bad)
hook.add("args", function(...) print("args " .. select("#", ...) .. " " .. table.concat({...}, ",")) end)
hook.call("args", 1, 2, 3, 4, 5)
