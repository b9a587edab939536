// Fuzz target: arbitrary bytes through the model dump reader; an accepted scene is walked whole.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "models/dump.h"
#include "fuzz_scene_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // An exact-size copy, so a read one byte past the data is caught.
    unsigned char *copy = (unsigned char *)malloc(size ? size : 1);
    if (!copy)
        return 0;
    memcpy(copy, data, size);
    scene s = {};
    load_error err = {};
    if (get_dump(&s, copy, size, &err) == 0) {
        check_scene(&s);
        delete_scene(&s);
    } else if (!err.what[0]) {
        abort();  // a refusal always says why
    }
    free(copy);
    return 0;
}
