#ifndef LEGEND_RECORDS_H
#define LEGEND_RECORDS_H
/* The graphic parameter records a pad hands out, as opaque byte images of
 * their exact sizes. The fields are described in docs/graphic-records.md. */

#ifdef __cplusplus
extern "C" {
#endif

/** Point record: 94 bytes. */
typedef struct PNT_INFOstruct {
  unsigned char bytes[94];
} PNT_INFOstruct;

/** Line record: 67 bytes. */
typedef struct LIN_INFOstruct {
  unsigned char bytes[67];
} LIN_INFOstruct;

/** Region record: 63 bytes. */
typedef struct REG_INFOstruct {
  unsigned char bytes[63];
} REG_INFOstruct;

#ifdef __cplusplus
}
static_assert(sizeof(PNT_INFOstruct) == 94 && sizeof(LIN_INFOstruct) == 67 && sizeof(REG_INFOstruct) == 63);
#endif

#endif
