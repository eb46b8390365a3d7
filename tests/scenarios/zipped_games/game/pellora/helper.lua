return {greeting = function() return "hello from the archive" end}
