# Script mode helper of tavio_embed: writes OUTPUT with INPUT's bytes as array SYMBOL.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hexlen)
math(EXPR size "${hexlen} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(([^,]*,){16})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT}.tmp
  "// Generated from ${INPUT}; do not edit.\n"
  "extern unsigned char ${SYMBOL}[];\n"
  "extern const unsigned ${SYMBOL}_size;\n"
  "unsigned char ${SYMBOL}[] = {\n${bytes}0x00};\n"
  "const unsigned ${SYMBOL}_size = ${size};\n")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
