return "second", "extra"
