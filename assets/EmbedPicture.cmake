# Writes OUTPUT, a C++ source that defines the TPictureData NAME with the bytes of INPUT.
#   cmake -DINPUT=file.bmp -DOUTPUT=file.cpp -DNAME=Symbol -P EmbedPicture.cmake
file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n"
       bytes "${bytes}")
get_filename_component(source ${INPUT} NAME)
file(WRITE ${OUTPUT}
     "// Generated from assets/${source} at build time; edit the picture, not this file.\n"
     "#include \"assets/Pictures.h\"\n\n"
     "namespace {\nconst std::uint8_t kBytes[] = {\n${bytes}\n};\n}  // namespace\n\n"
     "const TPictureData ${NAME} = {kBytes, sizeof kBytes};\n")
