// Opening titles, beats 0 to 7: three brick title cards released by the snare.
#include "shell/scenes.h"

#include <GL/gl.h>

#include "bricks/bricks.h"
#include "shell/sync.h"
#include "synth/synth.h"

// Each card: a word in solid red bricks and, 6 units behind it, a wider line cut
// out of a white and blue checkerboard slab.
static void compile_card(int list, const char *word, const char *line)
{
    glNewList(list, GL_COMPILE);
    write_string(word, 0, 2, 1);
    glTranslatef(0, 0, -6);
    write_string(line, 1, 3, 18);
    glEndList();
}

void compile_title_lists(int first_list)
{
    compile_card(first_list, "tavio", "utaviou");
    compile_card(first_list + 1, "by", "bybybybyby");
    compile_card(first_list + 2, "vup", "vupvupvup");
}

// Card `slot` (1..3, one per two beats from beat 2) waits for the first track-4
// pulse of its slot; until then the card before it stays up. A card whose
// predecessor never came is shown at once. Returns the card to draw, or -1.
static int choose_card(int slot, float t)
{
    if (slot < 1 || slot > 3)
        return -1;
    if (tl.first != slot - 1)
        return slot - 1;
    if (musasynk(4, t) != 0) {
        tl.first = slot;
        return slot - 1;
    }
    return slot - 2;
}

void scene_titles(float t)
{
    glClear(GL_DEPTH_BUFFER_BIT);  // the titles cover the ball
    glPushMatrix();
    glTranslatef(0, -2, 6 * musasynk(4, t) - 24);  // jumps towards the eye on each note
    glRotatef(24, 1, 0, 0);
    int card = choose_card(beat.load(std::memory_order_relaxed) / 2, t);
    if (card >= 0)
        glCallList(tl.kuk + card);
    glPopMatrix();
}
