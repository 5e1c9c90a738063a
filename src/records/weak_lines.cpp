// weak_lines.cpp -- weighing the letters from the records and drawing lines.
//
// Letters are drawn with rand() like every random choice of the game; the
// weights add up to at most WEAK_LETTERS x WEIGHT_MAX, within the smallest
// RAND_MAX a C library has.
#include "records/weak_lines.h"

#include "records/history.h"
#include "text/random_lines.h"

#include <algorithm>
#include <cstdlib>

int weak_weights[WEAK_LETTERS];
const char WEAK_START_TEXT[] = "苦手キー練習\n\n遅いキーや打ち間違いの多いキーが多めに出ます。\n\nENTERかSPACEを押すとはじまります。";

static_assert(WEAK_LETTERS * WEIGHT_MAX <= 32767, "rand() % total reaches every weight");

constexpr char FIRST_LETTER = 'A';

void weak_letter_weights(int weights[WEAK_LETTERS])
{
    int ms[WEAK_LETTERS], sorted[WEAK_LETTERS], measured = 0;
    for (int i = 0; i < WEAK_LETTERS; i++) {
        ms[i] = key_samples(FIRST_LETTER + i) >= WEAK_MIN_SAMPLES ? key_average_ms(FIRST_LETTER + i) : 0;
        if (ms[i] > 0)
            sorted[measured++] = ms[i];
    }
    std::sort(sorted, sorted + measured);
    const double median = measured ? sorted[measured / 2] : 0;
    int weakest = WEIGHT_UNPRACTISED;
    for (int i = 0; i < WEAK_LETTERS; i++) {
        if (ms[i] == 0)
            continue;
        double slowness = ms[i] / median;
        double w = WEIGHT_TYPICAL * slowness * slowness * (1 + 3 * key_miss_percent(FIRST_LETTER + i) / 100.0);
        weights[i] = std::min(WEIGHT_MAX, std::max(WEIGHT_MIN, (int)(w + 0.5)));
        weakest = std::max(weakest, weights[i]);
    }
    for (int i = 0; i < WEAK_LETTERS; i++)
        if (ms[i] == 0)
            weights[i] = measured ? weakest : WEIGHT_TYPICAL;
}

static char weighted_letter()
{
    int total = 0;
    for (int w : weak_weights)
        total += w;
    int r = rand() % total;
    for (int i = 0; i < WEAK_LETTERS; i++) {
        if (r < weak_weights[i])
            return (char)(FIRST_LETTER + i);
        r -= weak_weights[i];
    }
    return (char)(FIRST_LETTER + WEAK_LETTERS - 1);
}

int make_weak_lines()
{
    history_refresh();
    weak_letter_weights(weak_weights);
    return make_letter_lines(weighted_letter);
}
