// DxflibBareParse.cpp - dxflib's parse of a DXF file with callbacks that do nothing: the yardstick
// that scripts/bench-whole-run.sh holds a whole run of velhost against.
#include <dl_creationadapter.h>
#include <dl_dxf.h>

int main(int argc, char** argv) {
    DL_CreationAdapter nothing;
    DL_Dxf dxf;
    return argc > 1 && dxf.in(argv[1], &nothing) ? 0 : 1;
}
