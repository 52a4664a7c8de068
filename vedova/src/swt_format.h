// Record codes of the swt trace file: every record starts on a byte boundary
// with one of these 8-bit codes.
#ifndef VEDOVA_SWT_FORMAT_H
#define VEDOVA_SWT_FORMAT_H

enum swt_code_t : unsigned {
  SWT_TSD1 = 16,
  SWT_RVT = 31,
  SWT_HART = 32,
  SWT_IS = 33,
  SWT_IRFRA = 34,
  SWT_IRFRD = 35,
  SWT_IRFWA = 36,
  SWT_IRFWD = 37,
  SWT_FRFRA = 38,
  SWT_FRFRD = 39,
  SWT_FRFWA = 40,
  SWT_FRFWD = 41,
  SWT_FR = 42,
  SWT_VA = 43,
  SWT_PA = 44,
  SWT_STD = 45,
  SWT_CM = 46,
  SWT_L2T_URQ = 64,
  SWT_L2T_UWD = 65,
  SWT_L2T_URS = 66,
  SWT_L2T_URD = 67,
  SWT_L2T_URL = 68,
  SWT_L2T_USR = 69,
  SWT_L2T_DRQ = 70,
  SWT_L2T_DWD = 71,
  SWT_L2T_DRS = 72,
  SWT_L2T_DRD = 73,
  SWT_L2T_DRL = 74,
  SWT_L2T_DSR = 75,
  SWT_L2T_HM2 = 76,
  SWT_DCT_HART = 80,
  SWT_DCT_BRQ = 81,
  SWT_DCT_WUP = 82,
  SWT_DCT_DRQ = 83,
  SWT_DCT_DWD = 84,
  SWT_DCT_DRS = 85,
  SWT_DCT_DRD = 86,
  SWT_DCT_DRL = 87,
  SWT_DCT_DSR = 88,
};

// Width of the piid field that ties records 34 to 46 to their issue record.
constexpr int SWT_PIID_WIDTH = 10;

#endif
