// The song text parser: tempo, instrument, pattern and track lines into the synthesizer's tables.
//
// Songs are checked as they are read: whatever the tables cannot hold or the
// sequencer cannot play is refused with a reason and its line number, and the
// song is left silent.
#include <errno.h>
#include <limits.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include "synth/tables.h"

enum {
    MAX_TEMPO = 10000,  // beats per minute; at least 3, or the row length is undefined
    MAX_SONG_FILE = 16 << 20,  // bytes in a song file
};

static char *module;          // the text being parsed
static char *loaded;          // syna_load's buffer for the file's text
static char error_text[200];  // why the last syna_get or syna_load failed
static int error_line;        // its line (1 = first), 0 when no line is to blame

const char *syna_error(void)
{
    return error_text;
}

int syna_error_line(void)
{
    return error_line;
}

static int fail(int line, const char *fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(error_text, sizeof error_text, fmt, ap);
    va_end(ap);
    error_line = line;
    song.tracks = 0;  // nothing of a refused song is played
    return -1;
}

// Preparation: carriage returns and spaces go, wherever they are.
static void cleanshit(char *text)
{
    char *to = text;
    for (const char *from = text; *from; from++)
        if (*from != '\r' && *from != ' ')
            *to++ = *from;
    *to = 0;
}

// Like strtok with one delimiter: skips leading delimiters, cuts the next token
// off in place and leaves *rest after it; NULL when nothing is left.
static char *cut(char **rest, char delim)
{
    char *s = *rest;
    while (*s == delim)
        s++;
    if (!*s) {
        *rest = s;
        return NULL;
    }
    char *end = strchr(s, delim);
    if (end) {
        *end = 0;
        *rest = end + 1;
    } else {
        *rest = s + strlen(s);
    }
    return s;
}

// Reads an integer the way atoi does (white space, sign, digits up to the first
// other character, 0 without digits), but refuses values outside int.
static bool read_int(const char *s, int *out)
{
    while (*s == ' ' || (*s >= '\t' && *s <= '\r'))
        s++;
    bool negative = *s == '-';
    if (*s == '-' || *s == '+')
        s++;
    long long v = 0;
    for (; *s >= '0' && *s <= '9'; s++) {
        v = v * 10 + (*s - '0');
        if (v > (long long)INT_MAX + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v > INT_MAX)
        return false;
    *out = (int)v;
    return true;
}

struct parse_state {
    int line;             // line number of the line being parsed
    int have_tempo;       // a tempo line was read
    int instruments;      // instrument lines read so far
    int wave;             // wave of the previous instrument line, -1 before the first
    int pattern_line[SYNA_PATTERNS];  // line that defined pattern n, 0 if none
    int track_line[SYNA_TRACKS];      // line of track n's list, 0 if none
};
static parse_state ps;

static int number(const char *text, int *out)
{
    if (!read_int(text, out))
        return fail(ps.line, "number '%s' is too large", text);
    return 0;
}

static int parse_tempo(char **rest)
{
    const char *text = cut(rest, ':');
    if (!text)
        return fail(ps.line, "tempo line without a tempo");
    if (ps.instruments)
        return fail(ps.line, "tempo line after an instrument line (echo rings are sized by the tempo)");
    int tempo;
    if (number(text, &tempo) < 0)
        return -1;
    if (tempo < 3 || tempo > MAX_TEMPO)
        return fail(ps.line, "tempo %d is outside 3..%d", tempo, MAX_TEMPO);
    int update = waves.global * 6 / (tempo * 10 / 25);
    if (update < 1)
        return fail(ps.line, "tempo %d is too fast for %d frames per second", tempo, waves.global);
    song.bpm = tempo;
    song.update = update;
    song.ekolen = 3 * update;
    ps.have_tempo = 1;
    return 0;
}

static int wave_number(const char *word)
{
    static const char *const names[4] = {"kantti", "sini", "saha", "kohina"};
    for (int w = 0; w < 4; w++)
        if (strcmp(word, names[w]) == 0)
            return w;
    return -1;
}

// i<n>:wave,attack,decay,sustain,release,modulation[,sweep[,pan[,filter]]]
static int parse_instrument(int n, char **rest)
{
    if (n < 0 || n >= SYNA_TRACKS)
        return fail(ps.line, "instrument number %d is outside 0..%d", n, SYNA_TRACKS - 1);
    if (!ps.have_tempo)
        return fail(ps.line, "instrument line before the tempo line");
    char *entry[9];
    int count = 0;
    for (char *e; count < 9 && (e = cut(rest, ',')) != NULL;)
        entry[count++] = e;
    if (count < 6)
        return fail(ps.line, "instrument line has %d entries; it needs wave, attack, decay, "
                             "sustain, release and modulation", count);

    int wave = wave_number(entry[0]);
    if (wave < 0 && ps.wave < 0)
        return fail(ps.line, "unknown wave '%s' (kantti, sini, saha or kohina)", entry[0]);
    if (wave < 0)
        wave = ps.wave;  // any other word keeps the previous line's wave

    int v[8] = {0, 0, 0, 0, 0, 0, -1, -1};  // attack decay sustain release modulation sweep pan filter
    for (int i = 1; i < count; i++)
        if (number(entry[i], &v[i - 1]) < 0)
            return -1;
    const int attack = v[0], decay = v[1], sustain = v[2], release = v[3];
    if (attack < 0 || decay < 0 || sustain < 0 || release < 0)
        return fail(ps.line, "a stage length is negative");
    if (attack == 0 && release == 0)
        return fail(ps.line, "attack and release are both 0 (one of them must be 1 or more)");
    long long frames = (long long)attack + decay + sustain + release + 1;
    if (frames > SYNA_MAX_SAMPLE)
        return fail(ps.line, "the note is %lld frames long; at most %d", frames, SYNA_MAX_SAMPLE);
    if (count > 7 && (v[6] < 0 || v[6] > 100))
        return fail(ps.line, "pan %d is outside 0..100", v[6]);
    if (count > 8 && (v[7] < 0 || v[7] > 100))
        return fail(ps.line, "filter %d is outside 0..100", v[7]);

    free(song.echo[n]);
    free(song.instr[n]);
    song.echo[n] = (float *)calloc(song.ekolen, sizeof(float));
    song.instr[n] = (float *)calloc(frames, sizeof(float));
    if (!song.echo[n] || !song.instr[n])
        return fail(ps.line, "out of memory for instrument %d", n);
    song.len[n] = (int)frames;
    if (count > 7)
        song.pan[n] = (float)(v[6] * 0.01);
    if (count > 8)
        song.pola[n] = (float)(v[7] * 0.01);
    adsr(attack, decay, sustain, release, v[4], v[5], n, wave);
    ps.wave = wave;
    ps.instruments++;
    return 0;
}

// A note name or command gives its slot value; any other word is an empty row.
static int slot_value(const char *entry)
{
    for (int i = 0; i < SYNA_NOTES - 1; i++)
        if (strcmp(entry, notes[i]) == 0)
            return notei[i];
    return EV_EMPTY;
}

// p<n>:entries: one row per entry, "vol" and "sld" take the next entry as argument.
static int parse_pattern(int n, char **rest)
{
    if (n < 0 || n >= SYNA_PATTERNS)
        return fail(ps.line, "pattern number %d is outside 0..%d", n, SYNA_PATTERNS - 1);
    int *slot = song.ptn[n];
    int at = 0;
    for (char *e; (e = cut(rest, ',')) != NULL;) {
        if (at >= SYNA_SLOTS - 1)
            return fail(ps.line, "pattern %d has more than %d slots", n, SYNA_SLOTS - 1);
        int v = slot_value(e);
        slot[at++] = v;
        if (v == EV_VOL || v == EV_SLD) {
            const char *arg = cut(rest, ',');
            if (!arg)
                return fail(ps.line, "'%s' without an argument", e);
            if (at >= SYNA_SLOTS - 1)
                return fail(ps.line, "pattern %d has more than %d slots", n, SYNA_SLOTS - 1);
            if (number(arg, &slot[at++]) < 0)
                return -1;
        }
    }
    slot[at] = EV_END;
    ps.pattern_line[n] = ps.line;
    return 0;
}

// t<n>:entries: pattern references ("p12", any first character) or "loop".
static int parse_track(int n, char **rest)
{
    if (n < 0 || n >= SYNA_TRACKS)
        return fail(ps.line, "track number %d is outside 0..%d", n, SYNA_TRACKS - 1);
    int *list = song.trak[n];
    int at = 0;
    for (char *e; (e = cut(rest, ',')) != NULL;) {
        if (at >= SYNA_SLOTS - 1)
            return fail(ps.line, "track %d has more than %d entries", n, SYNA_SLOTS - 1);
        if (strcmp(e, "loop") == 0) {
            if (at == 0)
                return fail(ps.line, "track %d starts with 'loop'", n);
            list[at++] = EV_LOOP;
            continue;
        }
        int p;
        if (number(e + 1, &p) < 0)
            return -1;
        if (p < 0 || p >= SYNA_PATTERNS)
            return fail(ps.line, "track %d names pattern %d, outside 0..%d", n, p, SYNA_PATTERNS - 1);
        list[at++] = p;
    }
    list[at] = EV_END;
    ps.track_line[n] = at ? ps.line : 0;
    return 0;
}

static int parse_line(char *line)
{
    if (line[0] == '#')
        return 0;
    char *rest = line;
    char *head = cut(&rest, ':');
    if (!head)
        return 0;
    if (strcmp(head, "bpm") == 0)
        return parse_tempo(&rest);
    int n = 0;
    if (head[0] == 'i' || head[0] == 'p' || head[0] == 't') {
        if (number(head + 1, &n) < 0)
            return -1;
    }
    switch (head[0]) {
    case 'i': return parse_instrument(n, &rest);
    case 'p': return parse_pattern(n, &rest);
    case 't': return parse_track(n, &rest);
    default: return 0;  // any other line is ignored
    }
}

// What the sequencer needs of the whole song, checked once every line is read.
static int check_song(void)
{
    if (!ps.have_tempo)
        return fail(0, "no tempo line (bpm:TEMPO)");
    for (int j = 0; j < SYNA_TRACKS; j++) {
        for (int e = 0; song.trak[j][e] != EV_END; e++) {
            int p = song.trak[j][e];
            if (p == EV_LOOP)
                continue;
            if (!ps.pattern_line[p])
                return fail(ps.track_line[j], "track %d names pattern %d, which no line defines", j, p);
            if (song.ptn[p][0] == EV_END)
                return fail(ps.track_line[j], "track %d names pattern %d, which is empty", j, p);
        }
    }
    // The sequencer plays tracks 1, 2, 3, ... up to the first without a list.
    int tracks = 0;
    while (tracks + 1 < SYNA_TRACKS && song.trak[tracks + 1][0] != EV_END)
        tracks++;
    for (int j = 1; j <= tracks; j++)
        if (!song.instr[j])
            return fail(ps.track_line[j], "track %d plays, but there is no instrument line i%d", j, j);
    song.tracks = tracks;
    return 0;
}

static int parse_song(char *text)
{
    error_text[0] = 0;
    error_line = 0;
    song.tracks = 0;
    memset(&ps, 0, sizeof ps);
    ps.wave = -1;
    if (waves.global <= 0 || waves.slen <= 0)
        return fail(0, "the synthesizer has no tables: syna_init must run first");
    // A new song plays from its start: no track keeps a place in a list it no longer has.
    reset_playback();
    module = text;
    cleanshit(module);

    // Lines are cut at line feeds; empty ones do not count, and only the first
    // SYNA_LINES are read. Removing spaces and CRs kept every line feed, so the
    // count of line feeds passed gives each line's number in the original text.
    int lines = 0, number_of_line = 1;
    char *s = module;
    while (*s && lines < SYNA_LINES) {
        if (*s == '\n') {
            number_of_line++;
            s++;
            continue;
        }
        char *line = s;
        char *end = strchr(s, '\n');
        if (end) {
            *end = 0;
            s = end + 1;
        } else {
            s += strlen(s);
        }
        lines++;
        ps.line = number_of_line;
        if (parse_line(line) < 0)
            return -1;
        if (end)
            number_of_line++;
    }
    return check_song();
}

int syna_get(char *text)
{
    int result = parse_song(text);
    publish_tables();
    return result;
}

int syna_load(const char *path)
{
    error_text[0] = 0;
    error_line = 0;
    FILE *f = fopen(path, "rb");
    if (!f)
        return fail(0, "cannot open: %s", strerror(errno));
    // The size comes from the open file itself; a directory opens but is no song.
    struct stat st;
    const char *problem = NULL;
    if (fstat(fileno(f), &st) != 0)
        problem = "cannot read the file";
    else if (S_ISDIR(st.st_mode))
        problem = "is a directory, not a file";
    else if (!S_ISREG(st.st_mode))
        problem = "cannot read: not a regular file";
    else if (st.st_size == 0)
        problem = "the file is empty";
    if (problem) {
        fclose(f);
        return fail(0, "%s", problem);
    }
    if (st.st_size > MAX_SONG_FILE) {
        fclose(f);
        return fail(0, "the file is %lld bytes; a song is at most %d", (long long)st.st_size,
                    MAX_SONG_FILE);
    }
    long size = (long)st.st_size;
    free(loaded);
    loaded = (char *)malloc(size + 1);
    if (!loaded) {
        fclose(f);
        return fail(0, "out of memory");
    }
    size_t got = fread(loaded, 1, size, f);
    int read_error = ferror(f);
    fclose(f);
    if (read_error || (long)got != size)
        return fail(0, "cannot read: %s", read_error ? strerror(errno) : "file shrank while reading");
    loaded[size] = 0;
    return syna_get(loaded);
}

int track_rows(int j, int *note_count)
{
    int rows = 0, notes_seen = 0;
    for (int e = 0; song.trak[j][e] != EV_END; e++) {
        int p = song.trak[j][e];
        if (p == EV_LOOP) {
            rows = -1;
            break;
        }
        for (int s = 0; song.ptn[p][s] != EV_END; s++) {
            int v = song.ptn[p][s];
            if (v == EV_VOL || v == EV_SLD)
                s++;
            else if (v > 0)
                notes_seen++;
            rows++;
        }
    }
    if (note_count)
        *note_count = notes_seen;
    return rows;
}
