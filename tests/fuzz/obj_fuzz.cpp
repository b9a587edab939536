// Fuzz target: arbitrary OBJ and MTL texts through the import; an accepted scene is walked whole.
// The input is the OBJ text, a NUL byte and the MTL text (no NUL: no MTL text at all).
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "models/obj.h"
#include "fuzz_scene_check.h"

static char *copy_text(const uint8_t *data, size_t size)
{
    char *text = (char *)malloc(size + 1);
    if (text) {
        memcpy(text, data, size);
        text[size] = 0;
    }
    return text;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const uint8_t *nul = (const uint8_t *)memchr(data, 0, size);
    size_t obj_size = nul ? (size_t)(nul - data) : size;
    char *obj = copy_text(data, obj_size);
    // Without an MTL text an "mtllib" line would open files: an empty library stands in.
    char *mtl = nul ? copy_text(nul + 1, size - obj_size - 1) : copy_text(data, 0);
    if (obj && mtl) {
        scene s = {};
        load_error err = {};
        if (get_scene(&s, obj, mtl, nullptr, &err) == 0) {
            check_scene(&s);
            delete_scene(&s);
        } else if (!err.what[0]) {
            abort();  // a refusal always says why
        }
    }
    free(obj);
    free(mtl);
    return 0;
}
