file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hexlen)
math(EXPR size "${hexlen} / 2")
# char(0x..) keeps bytes above 0x7F (binary files) from being narrowing errors.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "char(0x\\1)," bytes "${hex}")
string(REGEX REPLACE "(char\\(0x[0-9a-f][0-9a-f]\\),){16}" "\\0\n" bytes "${bytes}")
file(WRITE ${OUTPUT} "// Generated from ${INPUT}; edit that file instead.\n"
    "extern const char ${SYMBOL}[] = {\n${bytes}0x00};\n"
    "extern const unsigned ${SYMBOL}_size = ${size};\n")
