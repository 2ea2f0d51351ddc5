/* wordcount.c - counts the lines, words and bytes of its standard input.
 *
 * A small sample file for the Mirel sample host: plain C, UTF-8 text with
 * LF newlines, so the host shows "UTF-8, LF" in its title bar.
 * 인사말: 안녕하세요, Mirel!
 */
#include <ctype.h>
#include <stdio.h>

static const char report_format[] = "%8lu %8lu %8lu\n";

struct counts {
  unsigned long lines;
  unsigned long words;
  unsigned long bytes;
};

static void count_stream(FILE *in, struct counts *total) {
  int in_word = 0;
  int ch;

  while ((ch = getc(in)) != EOF) {
    total->bytes++;
    if (ch == '\n')
      total->lines++;
    if (isspace(ch)) {
      in_word = 0;
    } else if (!in_word) {
      in_word = 1;
      total->words++;
    }
  }
}

int main(void) {
  struct counts total = {0, 0, 0};

  count_stream(stdin, &total);
  printf(report_format, total.lines, total.words, total.bytes);
  return 0;
}
