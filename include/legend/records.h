#ifndef LEGEND_RECORDS_H
#define LEGEND_RECORDS_H
/**
 * @file records.h
 * The graphic parameter records a pad hands out, as opaque byte images of
 * their exact sizes, usable from C and C++. The fields are described in
 * docs/graphic-records.md.
 */

#ifdef __cplusplus
extern "C" {
#endif

/** Point record: 94 bytes. */
typedef struct PNT_INFOstruct {
  unsigned char bytes[94]; /**< the record as stored in the legend file */
} PNT_INFOstruct;

/** Line record: 67 bytes. */
typedef struct LIN_INFOstruct {
  unsigned char bytes[67]; /**< the record as stored in the legend file */
} LIN_INFOstruct;

/** Region record: 63 bytes. */
typedef struct REG_INFOstruct {
  unsigned char bytes[63]; /**< the record as stored in the legend file */
} REG_INFOstruct;

#ifdef __cplusplus
}
#endif

#endif
