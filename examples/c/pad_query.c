/* A C host: opens an invisible pad on a legend file, prints how many legends
 * it holds and the type of the first, and closes it. Only legend/legend.h is
 * needed:
 *
 *   cc pad_query.c $(pkg-config --cflags --libs legend) -o pad_query
 *   ./pad_query FILE.CLN
 *
 * The library starts Qt itself when the host has not, so without a display
 * run it with QT_QPA_PLATFORM=offscreen. */

#include <stdint.h>
#include <stdio.h>

#include <legend/legend.h>

static const char* type_name(int type) {
  switch (type) {
    case 0: return "line";
    case 1: return "point";
    case 2: return "region";
    default: return type < 0 ? "none" : "other";
  }
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s FILE.CLN\n", argv[0]);
    return 2;
  }
  /* Invisible and silent: the pad only answers queries. No project and no
   * owner, so nothing is told about selections. */
  void* pad = CreateCLNPadWindow(argv[1], 0, 0, NULL, NULL);
  if (!pad) {
    fprintf(stderr, "no pad for %s\n", argv[1]);
    return 1;
  }
  int32_t count = 0;
  while (GetCLNType(pad, count) != -1) ++count;
  const int type = GetCLNType(pad, 0);
  printf("legends: %d\nlegend 0 type: %d (%s)\n", (int)count, type, type_name(type));
  CloseCLNPadWindow(pad);
  return type == -1 ? 1 : 0;
}
