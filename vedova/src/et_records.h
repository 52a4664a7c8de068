// Trace records: the fixed-size tagged records that every trace reader hands
// out. All types are plain structures (no constructors, no virtual functions)
// so that a record is valid when all its bytes are zero and records can live
// in one array.
#ifndef VEDOVA_ET_RECORDS_H
#define VEDOVA_ET_RECORDS_H

#include <cstdint>
#include <string>

class disassembler_t;

// Record kinds held in et_object_t::type.
enum et_object_kind_t : uint8_t {
  ET_KIND_NONE = 0,  // empty slot
  ET_KIND_INSN = 1,  // et_insn_t
  ET_KIND_RVT = 2,   // rvt_object_t
  ET_KIND_L2T = 3,   // l2t_object_t
  ET_KIND_DCT = 4,   // dct_object_t
};

// One operand slot of an instruction; the address and data halves are filled
// independently.
struct et_reg_t {
  bool addr_valid;
  uint64_t reg;
  bool data_valid;
  uint64_t value;

  std::string to_string() const;
};

// One executed instruction as the reference trace records it.
struct et_insn_t {
  uint16_t hart;
  uint64_t uiid;
  uint64_t issue_cycle;
  uint64_t read_cycle;
  uint64_t write_cycle;
  uint64_t commit_cycle;
  uint64_t pc;
  uint64_t insn;
  uint64_t mode;
  et_reg_t rs1;
  et_reg_t rs2;
  et_reg_t rs3;
  et_reg_t rs4;
  et_reg_t rd;
  et_reg_t frs1;
  et_reg_t frs2;
  et_reg_t frs3;
  et_reg_t frd;
  bool ea_valid;
  uint64_t ea;
  uint64_t ea_cycle;
  bool trap;
  uint64_t cause;
  bool intr;
  bool pa_valid;
  uint64_t pa;
  uint64_t pa_cycle;
  bool sd_valid;
  uint64_t sd;
  uint64_t sd_cycle;
  bool committed;
  bool fr_e0;
  uint64_t fr_cycle;
  bool fr_cm;
  bool trig;
  bool disasm_valid;
  uint64_t operand_flags;
  int64_t insn_id;
  char disasm[100];

  // True when insn holds a fused-pair word rather than a single instruction.
  bool is_fused() const;

  // 0 when the two records describe the same architectural effect, else the
  // code of the first check that failed. This record's operand_flags choose
  // the slots compared; xlen 32 compares single registers in 32 bits.
  unsigned compare(const et_insn_t& other, uint64_t xlen) const;
  // Merges two adjacent records into this one, whose insn becomes the
  // fused-pair word. 0 on success, else the code of the refusal (this record
  // is then unchanged). This record may be one of the two.
  int fuse(const et_insn_t& first, const et_insn_t& second);
  // Destination register numbers decoded from an instruction id and word.
  static int64_t get_irda(uint64_t insn_id, uint64_t insn);
  int64_t get_irda() const;
  static int64_t get_frda(uint64_t insn_id, uint64_t insn);
  int64_t get_frda() const;

  // Looks insn up and fills disasm_valid, operand_flags, insn_id and, when
  // with_text is set, disasm.
  void fill_disasm_fields(const disassembler_t& disasm, bool with_text);
  std::string to_string() const;
};

struct rvt_object_t {
  uint64_t cycle;
  uint64_t data;

  std::string to_string() const;
};

// Layouts of the L2 and data-cache traffic records.
struct l2t_rq_t {
  uint64_t a;
  uint32_t u;
  uint8_t rid;
  uint8_t id;
  uint8_t t;
  uint8_t f;

  std::string to_string() const;
};

struct l2t_wd_t {
  uint64_t d[8];
  uint8_t psn;
  uint8_t cn;
  uint8_t count;

  std::string to_string() const;
};

struct l2t_rd_t {
  uint64_t d[8];
  uint8_t psn;
  uint8_t cn;
  uint8_t count;

  std::string to_string() const;
};

struct l2t_rs_t {
  uint8_t rid;
  uint8_t mid;
  uint8_t sid;
  uint8_t f;

  std::string to_string() const;
};

struct l2t_rl_t {
  uint8_t id;

  std::string to_string() const;
};

struct l2t_sr_t {
  uint64_t a;
  uint8_t m;
  uint8_t id;
  uint8_t t;

  std::string to_string() const;
};

struct l2t_hm2_t {
  uint64_t a;
  uint64_t vca;
  uint16_t op;
  uint16_t we0;
  uint16_t we1;
  uint8_t id;
  uint8_t ser;
  uint8_t hv;
  uint8_t hv1;
  uint8_t hv4;
  uint8_t hv2;
  uint8_t hv3;
  uint8_t iv;
  uint8_t vc;
  uint8_t vc4;
  uint8_t vc2;
  uint8_t vc3;
  uint8_t fen;
  uint8_t fen1;
  uint8_t fen3;
  uint8_t fen2;
  uint8_t fen4;
  uint8_t fl2;
  uint8_t fl;
  uint8_t fl3;

  std::string to_string() const;
};

struct dct_brq_t {
  uint64_t a;
  uint64_t wrd;
  uint64_t ldd;
  uint8_t hid;
  uint8_t kl;
  uint8_t stlb;
  uint8_t op;
  uint8_t f;
  uint8_t wrm;
  uint8_t psn;
  uint8_t scf;
  uint8_t fs;
  uint8_t blk_valid;
  uint8_t blk;
  uint8_t blk_id;

  std::string to_string() const;
};

struct dct_wup_t {
  uint8_t hid;
  uint8_t gv;
  uint8_t v;
  uint8_t w;
  uint8_t fs;

  std::string to_string() const;
};

// L2 traffic record; `code` (the swt record code) selects the layout.
struct l2t_object_t {
  uint8_t code;
  union {
    l2t_rq_t rq;
    l2t_wd_t wd;
    l2t_rs_t rs;
    l2t_rd_t rd;
    l2t_rl_t rl;
    l2t_sr_t sr;
    l2t_hm2_t hm2;
  };
  uint64_t cycle;

  std::string to_string() const;
};

// Data-cache traffic record; `code` selects the layout.
struct dct_object_t {
  uint8_t code;
  union {
    dct_brq_t brq;
    dct_wup_t wup;
    l2t_rq_t rq;
    l2t_wd_t wd;
    l2t_rs_t rs;
    l2t_rd_t rd;
    l2t_rl_t rl;
    l2t_sr_t sr;
  };
  uint64_t cycle;

  std::string to_string() const;
};

// The tagged record handed out by trace readers.
struct et_object_t {
  uint8_t type;  // et_object_kind_t
  union {
    et_insn_t insn;
    rvt_object_t rvt;
    l2t_object_t l2t;
    dct_object_t dct;
  };

  std::string to_string() const;
};

#endif
