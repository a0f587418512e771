/* The public header must compile as C: a C host sees opaque types, the
 * exports' C signatures and the constants as macros. Compiled, never run. */
#include "legend/legend.h"

typedef char legend_path_buffer_is_260[LEGEND_PATH_BUFFER == 260 ? 1 : -1];
typedef char legend_head_is_333[LEGEND_HEAD_BYTES == 333 ? 1 : -1];
typedef char legend_events_are_fixed
    [(WM_LEGEND_RELOAD == 1163 && WM_LEGEND_SELECTED == 1164 && WM_LEGEND_DESELECTED == 1165) ? 1 : -1];

int16_t legend_header_c_query(void* pad, PNT_INFOstruct* point, CATT_STRU** structure, char** record, int32_t* length);

int16_t legend_header_c_query(void* pad, PNT_INFOstruct* point, CATT_STRU** structure, char** record, int32_t* length) {
  int16_t (*type)(void*, int32_t) = GetCLNType;
  void* (*create)(const char*, int32_t, int32_t, MapProject*, QWidget*) = CreateCLNPadWindow;
  int32_t (*edit)(const char*, void*, QWidget*) = OpenCLNEditWindow;
  int32_t (*edit_new)(char*, void*, QWidget*) = NewCLNEditWindow;
  (void)create;
  (void)edit;
  (void)edit_new;
  return (int16_t)(type(pad, 0) + GetCLNPntInfo(pad, point, 0) + GetCLNAttInfo(pad, structure, record, length, 0));
}
