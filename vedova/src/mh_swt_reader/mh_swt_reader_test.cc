#include "mh_swt_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "et_writer.h"
#include "swt_format.h"
#include "swt_outcome.h"

namespace {

struct design_t {
  int xlen;
  int flen;
  unsigned long pa;
  unsigned long irf;
  unsigned long cl_width;
  unsigned long cl_chunks;
  bool poison;
};

const design_t rv64 = {64, 64, 56, 64, 512, 2, true};

uint64_t low(uint64_t v, uint64_t bits) { return bits >= 64 ? v : v & ((uint64_t(1) << bits) - 1); }

unsigned ctz(unsigned long v) { return static_cast<unsigned>(__builtin_ctzl(v)); }

class temp_file_t {
 public:
  temp_file_t() {
    static int counter = 0;
    path = testing::TempDir() + "mh_swt_reader_test_" + std::to_string(getpid()) + "_" + std::to_string(counter++) +
           ".swt";
  }
  ~temp_file_t() { unlink(path.c_str()); }
  std::string path;
};

void write_bytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<unsigned char> read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::unique_ptr<mh_swt_reader_t> open_reader(const std::string& path, const design_t& d, unsigned long mask = 1,
                                             bool skip = false) {
  return std::unique_ptr<mh_swt_reader_t>(
      new mh_swt_reader_t(path, mask, skip, skip, skip, d.xlen, d.flen, d.pa, d.irf, d.cl_width, d.cl_chunks, d.poison));
}

void write_trace(const std::string& path, const design_t& d, const std::function<void(et_writer_t&)>& body) {
  et_writer_t w(path, 0);
  w.configure(d.xlen, d.flen, static_cast<int>(d.irf), d.xlen, static_cast<int>(d.pa));
  body(w);
}

// A traffic record written field by field; the fields are (value, width).
void write_record(et_writer_t& w, unsigned code, const std::vector<std::pair<uint64_t, unsigned>>& fields) {
  unsigned bits = 8;
  w.append(code, 8);
  for (const auto& f : fields) {
    w.append(f.first, f.second);
    bits += f.second;
  }
  w.append(0, (8 - bits % 8) % 8);
}

std::vector<std::pair<uint64_t, unsigned>> data_fields(const design_t& d, uint64_t seed) {
  const unsigned words = static_cast<unsigned>(d.cl_width / d.cl_chunks / 64);
  std::vector<std::pair<uint64_t, unsigned>> f;
  for (unsigned i = 0; i < words; ++i) f.push_back({seed * 0x9e3779b97f4a7c15ull + i, 64});
  if (d.poison) f.push_back({0xa5, words});
  if (ctz(d.cl_chunks) != 0) f.push_back({d.cl_chunks - 1, ctz(d.cl_chunks)});
  return f;
}

void expect_data(const design_t& d, uint64_t seed, const uint64_t* words, uint8_t psn, uint8_t cn, uint8_t count) {
  const unsigned n = static_cast<unsigned>(d.cl_width / d.cl_chunks / 64);
  EXPECT_EQ(count, n);
  for (unsigned i = 0; i < n; ++i) EXPECT_EQ(words[i], seed * 0x9e3779b97f4a7c15ull + i);
  EXPECT_EQ(psn, d.poison ? low(0xa5, n) : 0u);
  EXPECT_EQ(cn, ctz(d.cl_chunks) != 0 ? d.cl_chunks - 1 : 0u);
}

class SwtRoundTrip : public testing::TestWithParam<design_t> {};

void PrintTo(const design_t& d, std::ostream* os) {
  *os << "XLEN " << d.xlen << " FLEN " << d.flen << " PADDR " << d.pa << " IRF " << d.irf << " CL " << d.cl_width
      << "/" << d.cl_chunks << (d.poison ? " poison" : "");
}

std::string design_name(const testing::TestParamInfo<design_t>& info) {
  const design_t& d = info.param;
  return "X" + std::to_string(d.xlen) + "F" + std::to_string(d.flen) + "P" + std::to_string(d.pa) + "I" +
         std::to_string(d.irf) + "CL" + std::to_string(d.cl_width) + "x" + std::to_string(d.cl_chunks) +
         (d.poison ? "Poison" : "");
}

// Every instruction record kind, every operand slot and the commit flags go
// through the writer and come back in one instruction record.
TEST_P(SwtRoundTrip, InstructionRecordsFillEveryField) {
  const design_t d = GetParam();
  const uint64_t pattern = 0xfedcba9876543210ull;
  const uint64_t irq_bit = uint64_t(1) << (d.xlen - 1);
  // Without records behind them, the last ones are read near the end of the
  // buffered input; with TSD1 records behind, all are read from the middle of
  // it.
  for (const unsigned tail : {0u, 64u}) {
    SCOPED_TRACE(tail);
    temp_file_t f;
    write_trace(f.path, d, [&](et_writer_t& w) {
      w.record_swt_hart(0);
      w.record_tsd1(3);
      w.record_swt_is(0, 1, 0x9000000000000001ull);
      w.record_tsd1(1);  // cycle 4
      w.record_swt_irfra(0, 1, 1);
      w.record_swt_irfra(0, 2, 2);
      w.record_swt_irfra(0, 3, 3);
      w.record_swt_irfra(0, 13, 4);
      w.record_swt_irfra(0, 4, 31);  // unknown slot: dropped
      w.record_swt_irfrd(0, 1, pattern + 1);
      w.record_swt_irfrd(0, 2, pattern + 2);
      w.record_swt_irfrd(0, 3, pattern + 3);
      w.record_swt_irfrd(0, 13, pattern + 4);
      w.record_swt_irfwa(0, 5);
      w.record_tsd1(2);  // cycle 6
      w.record_swt_irfwd(0, pattern + 5);
      w.record_swt_frfra(0, 5, 6);
      w.record_swt_frfra(0, 6, 7);
      w.record_swt_frfra(0, 7, 8);
      w.record_swt_frfra(0, 9, 30);  // bit 3 set: dropped
      w.record_tsd1(1);  // cycle 7
      w.record_swt_frfrd(0, 5, pattern + 6);
      w.record_swt_frfrd(0, 6, pattern + 7);
      w.record_swt_frfrd(0, 7, pattern + 8);
      w.record_swt_frfwa(0, 9);
      w.record_swt_frfwd(0, pattern + 9);
      w.record_tsd1(1);  // cycle 8
      w.record_swt_fr(0, true);
      w.record_swt_va(0, pattern + 10);
      w.record_swt_pa(0, pattern + 11);
      w.record_swt_std(0, pattern + 12);
      w.record_tsd1(2);  // cycle 10
      w.record_swt_cm(0, pattern + 13, true, true, irq_bit | 0x2b, true);
      // A second instruction: a floating-point read with slot 1 lands in rs1.
      w.record_swt_is(1, 3, 0x13);
      w.record_swt_frfra(1, 1, 17);
      w.record_swt_frfrd(1, 1, pattern);
      w.record_swt_cm(1, 0x80000000, false, true, 0x2b, false);  // exception, not an interrupt
      for (unsigned i = 0; i < tail; ++i) w.record_tsd1(0);
    });

    auto reader = open_reader(f.path, d);
    et_object_t* o = reader->get_next_object();
    ASSERT_NE(o, nullptr);
    ASSERT_EQ(o->type, ET_KIND_INSN);
    const et_insn_t& r = o->insn;
    EXPECT_EQ(r.hart, 0);
    EXPECT_EQ(r.uiid, 0u);
    EXPECT_EQ(r.issue_cycle, 3u);
    EXPECT_EQ(r.mode, 1u);
    EXPECT_EQ(r.insn, 0x9000000000000001ull);
    const et_reg_t* int_reads[] = {&r.rs1, &r.rs2, &r.rs3, &r.rs4};
    for (unsigned i = 0; i < 4; ++i) {
      EXPECT_TRUE(int_reads[i]->addr_valid && int_reads[i]->data_valid) << i;
      EXPECT_EQ(int_reads[i]->reg, i + 1);
      EXPECT_EQ(int_reads[i]->value, low(pattern + 1 + i, d.irf));
    }
    EXPECT_EQ(r.read_cycle, 7u);
    EXPECT_TRUE(r.rd.addr_valid && r.rd.data_valid);
    EXPECT_EQ(r.rd.reg, 5u);
    EXPECT_EQ(r.rd.value, low(pattern + 5, d.irf));
    EXPECT_EQ(r.write_cycle, 7u);
    const et_reg_t* fp_reads[] = {&r.frs1, &r.frs2, &r.frs3};
    for (unsigned i = 0; i < 3; ++i) {
      EXPECT_TRUE(fp_reads[i]->addr_valid && fp_reads[i]->data_valid) << i;
      EXPECT_EQ(fp_reads[i]->reg, i + 6);
      EXPECT_EQ(fp_reads[i]->value, low(pattern + 6 + i, d.flen));
    }
    EXPECT_TRUE(r.frd.addr_valid && r.frd.data_valid);
    EXPECT_EQ(r.frd.reg, 9u);
    EXPECT_EQ(r.frd.value, low(pattern + 9, d.flen));
    EXPECT_TRUE(r.fr_e0);
    EXPECT_EQ(r.fr_cycle, 8u);
    EXPECT_TRUE(r.ea_valid);
    EXPECT_EQ(r.ea, low(pattern + 10, d.xlen));
    EXPECT_EQ(r.ea_cycle, 8u);
    EXPECT_TRUE(r.pa_valid);
    EXPECT_EQ(r.pa, low(pattern + 11, d.pa));
    EXPECT_TRUE(r.sd_valid);
    EXPECT_EQ(r.sd, low(pattern + 12, std::max(d.xlen, d.flen)));
    EXPECT_TRUE(r.committed);
    EXPECT_EQ(r.commit_cycle, 10u);
    EXPECT_EQ(r.pc, low(pattern + 13, d.xlen));
    EXPECT_TRUE(r.fr_cm);
    EXPECT_TRUE(r.trap);
    EXPECT_TRUE(r.intr);
    EXPECT_EQ(r.cause, irq_bit | 0x2b);
    EXPECT_TRUE(r.trig);
    EXPECT_FALSE(r.disasm_valid);
    EXPECT_EQ(r.insn_id, 0);

    o = reader->get_next_object();
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->insn.uiid, 1u);
    EXPECT_TRUE(o->insn.rs1.addr_valid && o->insn.rs1.data_valid);
    EXPECT_EQ(o->insn.rs1.reg, 17u);
    EXPECT_EQ(o->insn.rs1.value, low(pattern, d.flen));
    EXPECT_FALSE(o->insn.frs1.addr_valid);
    EXPECT_TRUE(o->insn.trap);
    EXPECT_FALSE(o->insn.intr);
    EXPECT_EQ(o->insn.cause, 0x2bu);
    EXPECT_EQ(reader->get_next_object(), nullptr);
    EXPECT_EQ(reader->get_next_object(), nullptr);
  }
}

// The traffic records of the tests: rvt, every L2T layout and every DCT
// layout, with the DCT hart.
const unsigned rq[] = {SWT_L2T_URQ, SWT_L2T_DRQ, SWT_DCT_DRQ};
const unsigned wd[] = {SWT_L2T_UWD, SWT_L2T_URD, SWT_L2T_DWD, SWT_L2T_DRD, SWT_DCT_DWD, SWT_DCT_DRD};
const unsigned rs[] = {SWT_L2T_URS, SWT_L2T_DRS, SWT_DCT_DRS};
const unsigned rl[] = {SWT_L2T_URL, SWT_L2T_DRL, SWT_DCT_DRL};
const unsigned sr[] = {SWT_L2T_USR, SWT_L2T_DSR, SWT_DCT_DSR};
const std::vector<std::pair<uint64_t, unsigned>> hm2 = {
    {0x11, 8}, {0x123456789a, 40}, {0x1abc, 13}, {1, 1}, {1, 1}, {0xc, 4}, {0, 1},   {1, 1},         {0xd4, 8},
    {1, 1},    {0x9, 4},           {1, 1},      {0, 1}, {0xe5, 8}, {0xfedcba9876, 40}, {0xbeef, 16}, {0xcafe, 16},
    {1, 1},    {0, 1},             {1, 1},      {0, 1}, {1, 1}, {1, 1}, {0, 1},   {0x77, 8}};
const std::vector<std::pair<uint64_t, unsigned>> brq = {
    {1, 1}, {0, 1}, {5, 3}, {0x81, 8}, {0xab12345678, 40}, {0x1122334455667788ull, 64}, {0xf0, 8},
    {0x8877665544332211ull, 64}, {2, 2}, {1, 1}, {6, 3}, {1, 1}, {3, 2}, {0x2a, 6}};

void write_all_traffic(et_writer_t& w, const design_t& d) {
  write_record(w, SWT_RVT, {{0x0123456789abcdefull, 64}});
  uint64_t seed = 1;
  for (unsigned c : rq) write_record(w, c, {{5, 3}, {0x42, 8}, {0x13, 5}, {0x9876543210, 40}, {0x55, 7}, {0xabcde, 20}});
  for (unsigned c : wd) write_record(w, c, data_fields(d, seed++));
  for (unsigned c : rs) write_record(w, c, {{6, 3}, {0x12, 8}, {0x34, 8}, {0x1b, 5}});
  for (unsigned c : rl) write_record(w, c, {{0x99, 8}});
  for (unsigned c : sr) write_record(w, c, {{0x21, 8}, {0x43, 8}, {5, 3}, {0x0badc0ffee, 40}});
  write_record(w, SWT_L2T_HM2, hm2);
  write_record(w, SWT_DCT_HART, {{6, 8}});
  write_record(w, SWT_DCT_BRQ, brq);
  write_record(w, SWT_DCT_WUP, {{1, 1}, {1, 1}, {0x2d, 6}, {5, 3}});
}

TEST_P(SwtRoundTrip, TrafficRecordsFillTheirLayouts) {
  const design_t d = GetParam();
  temp_file_t f;
  write_trace(f.path, d, [&](et_writer_t& w) {
    w.record_tsd1(7);
    write_all_traffic(w, d);
  });

  auto reader = open_reader(f.path, d);
  et_object_t* o = reader->get_next_object();
  ASSERT_NE(o, nullptr);
  ASSERT_EQ(o->type, ET_KIND_RVT);
  EXPECT_EQ(o->rvt.cycle, 7u);
  EXPECT_EQ(o->rvt.data, 0x0123456789abcdefull);

  auto next_l2t = [&](unsigned code) -> l2t_object_t* {
    et_object_t* n = reader->get_next_object();
    if (n == nullptr) return nullptr;
    const uint8_t kind = code >= SWT_DCT_BRQ ? ET_KIND_DCT : ET_KIND_L2T;
    EXPECT_EQ(n->type, kind) << code;
    EXPECT_EQ(n->l2t.code, code);
    return &n->l2t;
  };
  auto next_dct = [&](unsigned code) -> dct_object_t* {
    et_object_t* n = reader->get_next_object();
    if (n == nullptr) return nullptr;
    EXPECT_EQ(n->type, ET_KIND_DCT) << code;
    EXPECT_EQ(n->dct.code, code);
    EXPECT_EQ(n->dct.cycle, 7u);
    return &n->dct;
  };
  for (unsigned c : rq) {
    l2t_rq_t* q;
    if (c >= SWT_DCT_BRQ) {
      dct_object_t* n = next_dct(c);
      ASSERT_NE(n, nullptr);
      q = &n->rq;
    } else {
      l2t_object_t* n = next_l2t(c);
      ASSERT_NE(n, nullptr);
      EXPECT_EQ(n->cycle, 7u);
      q = &n->rq;
    }
    EXPECT_EQ(q->rid, 5);
    EXPECT_EQ(q->id, 0x42);
    EXPECT_EQ(q->t, 0x13);
    EXPECT_EQ(q->a, 0x9876543210u);
    EXPECT_EQ(q->f, 0x55);
    EXPECT_EQ(q->u, 0xabcdeu);
  }
  uint64_t seed = 1;
  for (unsigned c : wd) {
    const bool is_rd = c == SWT_L2T_URD || c == SWT_L2T_DRD || c == SWT_DCT_DRD;
    if (c >= SWT_DCT_BRQ) {
      dct_object_t* n = next_dct(c);
      ASSERT_NE(n, nullptr);
      if (is_rd)
        expect_data(d, seed, n->rd.d, n->rd.psn, n->rd.cn, n->rd.count);
      else
        expect_data(d, seed, n->wd.d, n->wd.psn, n->wd.cn, n->wd.count);
    } else {
      l2t_object_t* n = next_l2t(c);
      ASSERT_NE(n, nullptr);
      if (is_rd)
        expect_data(d, seed, n->rd.d, n->rd.psn, n->rd.cn, n->rd.count);
      else
        expect_data(d, seed, n->wd.d, n->wd.psn, n->wd.cn, n->wd.count);
    }
    ++seed;
  }
  for (unsigned c : rs) {
    l2t_rs_t* s = c >= SWT_DCT_BRQ ? &next_dct(c)->rs : &next_l2t(c)->rs;
    EXPECT_EQ(s->rid, 6);
    EXPECT_EQ(s->mid, 0x12);
    EXPECT_EQ(s->sid, 0x34);
    EXPECT_EQ(s->f, 0x1b);
  }
  for (unsigned c : rl) {
    l2t_rl_t* s = c >= SWT_DCT_BRQ ? &next_dct(c)->rl : &next_l2t(c)->rl;
    EXPECT_EQ(s->id, 0x99);
  }
  for (unsigned c : sr) {
    l2t_sr_t* s = c >= SWT_DCT_BRQ ? &next_dct(c)->sr : &next_l2t(c)->sr;
    EXPECT_EQ(s->m, 0x21);
    EXPECT_EQ(s->id, 0x43);
    EXPECT_EQ(s->t, 5);
    EXPECT_EQ(s->a, 0x0badc0ffeeu);
  }
  l2t_object_t* h = next_l2t(SWT_L2T_HM2);
  ASSERT_NE(h, nullptr);
  const l2t_hm2_t& m = h->hm2;
  const uint64_t got[] = {m.id,  m.a,   m.op,  m.ser,  m.hv,   m.hv1,  m.hv2,  m.hv3, m.hv4,
                          m.iv,  m.vc,  m.vc2, m.vc3,  m.vc4,  m.vca,  m.we0,  m.we1, m.fen,
                          m.fen1, m.fen2, m.fen3, m.fen4, m.fl, m.fl2, m.fl3};
  ASSERT_EQ(hm2.size(), sizeof(got) / sizeof(got[0]));
  for (size_t i = 0; i < hm2.size(); ++i) EXPECT_EQ(got[i], hm2[i].first) << "HM2 field " << i;

  dct_object_t* b = next_dct(SWT_DCT_BRQ);
  ASSERT_NE(b, nullptr);
  const dct_brq_t& q = b->brq;
  EXPECT_EQ(q.hid, 6);
  const uint64_t bgot[] = {q.kl, q.stlb, q.op, q.f, q.a, q.wrd, q.wrm, q.ldd, q.psn, q.scf, q.fs, q.blk_valid, q.blk,
                           q.blk_id};
  ASSERT_EQ(brq.size(), sizeof(bgot) / sizeof(bgot[0]));
  for (size_t i = 0; i < brq.size(); ++i) EXPECT_EQ(bgot[i], brq[i].first) << "BRQ field " << i;
  dct_object_t* u = next_dct(SWT_DCT_WUP);
  ASSERT_NE(u, nullptr);
  EXPECT_EQ(u->wup.hid, 6);
  EXPECT_EQ(u->wup.gv, 1);
  EXPECT_EQ(u->wup.v, 1);
  EXPECT_EQ(u->wup.w, 0x2d);
  EXPECT_EQ(u->wup.fs, 5);
  EXPECT_EQ(reader->get_next_object(), nullptr);

  // With the skip switches set, the same file holds nothing.
  auto skipping = open_reader(f.path, d, 1, true);
  EXPECT_EQ(skipping->get_next_object(), nullptr);
}

// Traffic records that the caller does not want are stepped over, near the
// end of the buffered input and far from it: the instructions around them
// come out whole.
TEST_P(SwtRoundTrip, SkippedTrafficLeavesTheInstructions) {
  const design_t d = GetParam();
  const unsigned n = 40;
  for (const unsigned tail : {0u, 64u}) {
    SCOPED_TRACE(tail);
    temp_file_t f;
    write_trace(f.path, d, [&](et_writer_t& w) {
      for (unsigned i = 0; i < n; ++i) {
        w.record_swt_is(i, 3, 0x100 + i);
        write_all_traffic(w, d);
        w.record_swt_cm(i, 0x100 + i, false, false, 0, false);
      }
      for (unsigned i = 0; i < tail; ++i) w.record_tsd1(0);
    });
    auto reader = open_reader(f.path, d, 1, true);
    for (unsigned i = 0; i < n; ++i) {
      et_object_t* o = reader->get_next_object();
      ASSERT_NE(o, nullptr) << i;
      ASSERT_EQ(o->type, ET_KIND_INSN);
      EXPECT_EQ(o->insn.uiid, i);
      EXPECT_TRUE(o->insn.committed);
      EXPECT_EQ(o->insn.pc, low(0x100 + i, d.xlen));
    }
    EXPECT_EQ(reader->get_next_object(), nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(Designs, SwtRoundTrip,
                         testing::Values(design_t{64, 64, 56, 64, 512, 2, true},   // 4 words, poison, 1-bit index
                                         design_t{64, 64, 40, 64, 512, 1, false},  // 8 words, no poison, no index
                                         design_t{32, 64, 34, 32, 256, 4, true},   // RV32 with 64-bit FP
                                         design_t{64, 32, 48, 60, 1024, 16, false},
                                         design_t{8, 16, 12, 8, 64, 1, true}),
                         design_name);

TEST(SwtReader, EmptyFileAndMinimalInstruction) {
  temp_file_t empty;
  write_bytes(empty.path, {});
  EXPECT_EQ(open_reader(empty.path, rv64)->get_next_object(), nullptr);

  temp_file_t f;
  write_trace(f.path, rv64, [](et_writer_t& w) {
    w.record_swt_hart(0);
    w.record_swt_is(0, 3, 0x13);
    w.record_swt_cm(0, 0x80001000, false, false, 0, false);
  });
  auto r = open_reader(f.path, rv64);
  et_object_t* o = r->get_next_object();
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->insn.uiid, 0u);
  EXPECT_TRUE(o->insn.committed);
  EXPECT_EQ(o->insn.pc, 0x80001000u);
  EXPECT_EQ(r->get_next_object(), nullptr);
}

TEST(SwtReader, StreamConstructorLeavesTheStreamOpen) {
  temp_file_t f;
  write_trace(f.path, rv64, [](et_writer_t& w) { w.record_swt_is(0, 3, 0x13); });
  FILE* s = fopen(f.path.c_str(), "rb");
  ASSERT_NE(s, nullptr);
  {
    mh_swt_reader_t r(s, 1, true, true, true, 64, 64, 56, 64, 512, 2, true);
    ASSERT_NE(r.get_next_object(), nullptr);
    EXPECT_EQ(r.get_next_object(), nullptr);
  }
  EXPECT_EQ(fclose(s), 0);
}

std::string error_of(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "(no error)";
}

std::string drain_error(const std::string& path, const design_t& d, unsigned long mask) {
  return error_of([&] {
    auto r = open_reader(path, d, mask);
    while (r->get_next_object() != nullptr) {
    }
  });
}

TEST(SwtReader, ConstructorErrors) {
  EXPECT_EQ(error_of([] { open_reader("/nonexistent/trace.swt", rv64); }),
            "Error: fail to open trace file: /nonexistent/trace.swt: No such file or directory");
  temp_file_t f;
  write_bytes(f.path, {});
  const design_t bad[] = {
      {0, 64, 56, 64, 512, 2, true},  {65, 64, 56, 64, 512, 2, true}, {-1, 64, 56, 64, 512, 2, true},
      {64, 0, 56, 64, 512, 2, true},  {64, 64, 0, 64, 512, 2, true},  {64, 64, 65, 64, 512, 2, true},
      {64, 64, 56, 0, 512, 2, true},  {64, 64, 56, 128, 512, 2, true}, {64, 64, 56, 64, 512, 0, true},
      {64, 64, 56, 64, 64, 2, true},  {64, 64, 56, 64, 1024, 1, true},
  };
  for (const design_t& d : bad) {
    const std::string e = error_of([&] { open_reader(f.path, d); });
    EXPECT_EQ(e.rfind("Invalid swt design parameter", 0), 0u) << e;
  }
  EXPECT_EQ(error_of([&] { open_reader(f.path, {64, 64, 56, 128, 512, 2, true}); }),
            "Invalid swt design parameter: IRF_DATA_WIDTH is 128, it must be 1 to 64 bits");
}

TEST(SwtReader, TraceErrors) {
  temp_file_t first_piid;
  write_trace(first_piid.path, rv64, [](et_writer_t& w) { w.record_swt_is(1, 3, 0x13); });
  EXPECT_EQ(drain_error(first_piid.path, rv64, 1),
            "Non-sequential uiids: cycle: 0, hart: 0, last issued uiid: 0xffffffffffffffff, current piid: 0x1");

  temp_file_t gap;
  write_trace(gap.path, rv64, [](et_writer_t& w) {
    w.record_swt_hart(2);
    w.record_tsd1(200);
    w.record_tsd1(100);
    for (unsigned i = 0; i < 0x20; ++i) w.record_swt_is(i, 3, 0x13);
    w.record_swt_is(0x22, 3, 0x13);
  });
  EXPECT_EQ(drain_error(gap.path, rv64, 4),
            "Non-sequential uiids: cycle: 300, hart: 2, last issued uiid: 0x1f, current piid: 0x22");

  temp_file_t missing;
  write_trace(missing.path, rv64, [](et_writer_t& w) {
    w.record_swt_is(0, 3, 0x13);
    w.record_tsd1(9);
    w.record_swt_cm(0x2a, 0x1000, false, false, 0, false);
  });
  testing::internal::CaptureStdout();
  const std::string e = drain_error(missing.path, rv64, 1);
  const std::string note = testing::internal::GetCapturedStdout();
  EXPECT_EQ(e,
            "Missing issue record for piid: current record: SWT_CM, cycle: 9, hart: 0, piid: 42, last issued uiid: 0");
  EXPECT_EQ(note.rfind("NOTE ", 0), 0u);
  EXPECT_NE(note.find("vedova/src/mh_swt_reader/mh_swt_reader.cc:270: SWT_CM: cycle: 9, hid: 0, "
                      "missing issue record for piid 0x2a\n"),
            std::string::npos)
      << note;

  temp_file_t hart9;
  write_trace(hart9.path, rv64, [](et_writer_t& w) {
    w.record_swt_hart(9);
    w.record_swt_is(5, 3, 0x13);  // would be non-sequential if it were read
    w.record_swt_cm(7, 0x1000, false, false, 0, false);
    w.record_swt_hart(0);
    w.record_swt_is(0, 3, 0x13);
  });
  EXPECT_EQ(drain_error(hart9.path, rv64, 1u << 9 | 1),
            "Hart #9 is found, but trace reader is compiled to read up to 8 harts only");
  EXPECT_EQ(drain_error(hart9.path, rv64, 1), "(no error)");
  {
    // Reading on after the refusal steps over the refused hart's records.
    auto r = open_reader(hart9.path, rv64, 1u << 9 | 1);
    EXPECT_THROW(r->get_next_object(), std::runtime_error);
    et_object_t* o = r->get_next_object();
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->insn.hart, 0);
    EXPECT_EQ(o->insn.uiid, 0u);
    EXPECT_EQ(r->get_next_object(), nullptr);
  }
  EXPECT_EQ(drain_error(hart9.path, rv64, 1ul << 9 | 1ul << 0), drain_error(hart9.path, rv64, 1ul << 9));
  // Hart 73 is selected through bit 73 mod 64.
  temp_file_t hart73;
  write_trace(hart73.path, rv64, [](et_writer_t& w) { w.record_swt_hart(73); });
  EXPECT_EQ(drain_error(hart73.path, rv64, 1u << 9),
            "Hart #73 is found, but trace reader is compiled to read up to 8 harts only");

  temp_file_t unknown;
  write_bytes(unknown.path, std::vector<unsigned char>(20, 0));
  EXPECT_EQ(drain_error(unknown.path, rv64, 1), "Unknown header: 0 approximately at position 16!");
  temp_file_t unknown_late;
  std::vector<unsigned char> bytes = {0x10, 0x01, 0x10, 0x02, 0x20, 0x00};
  bytes.resize(40, 0x10);
  bytes[22] = 47;
  write_bytes(unknown_late.path, bytes);
  EXPECT_EQ(drain_error(unknown_late.path, rv64, 1), "Unknown header: 47 approximately at position 32!");
}

// The position in the unknown-header message is the end of the 16-byte block
// of the file that holds the code, or the end of a shorter last block: also
// far beyond the first read of the file, and counted from where a stream
// given to the reader stood.
TEST(SwtReader, UnknownHeaderPositionIsTheEndOfItsBlock) {
  struct position_case_t {
    size_t lead;       // bytes before the reader's start (stream only)
    size_t fillers;    // TSD1 records before the unknown code
    size_t tail;       // bytes after it
    bool stream;
    long position;
  };
  const position_case_t cases[] = {
      {0, 40000, 3, false, 80004},  // short last block
      {0, 40000, 40, false, 80016},
      {0, 7, 0, false, 15},
      {0, 8, 0, false, 17},
      {3, 10, 20, true, 35},
      {3, 40000, 40, true, 80019},
  };
  for (const position_case_t& c : cases) {
    std::vector<unsigned char> bytes(c.lead, 0xaa);
    for (size_t i = 0; i < c.fillers; ++i) {
      bytes.push_back(SWT_TSD1);
      bytes.push_back(1);
    }
    bytes.push_back(5);
    bytes.resize(bytes.size() + c.tail, 0);
    temp_file_t f;
    write_bytes(f.path, bytes);
    const std::string expected =
        "Unknown header: 5 approximately at position " + std::to_string(c.position) + "!";
    if (!c.stream) {
      EXPECT_EQ(drain_error(f.path, rv64, 1), expected) << c.fillers << " " << c.tail;
      continue;
    }
    FILE* s = std::fopen(f.path.c_str(), "rb");
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(std::fseek(s, static_cast<long>(c.lead), SEEK_SET), 0);
    EXPECT_EQ(error_of([&] {
                mh_swt_reader_t r(s, 1, true, true, true, 64, 64, 56, 64, 512, 2, false);
                while (r.get_next_object() != nullptr) {
                }
              }),
              expected)
        << c.fillers << " " << c.tail;
    std::fclose(s);
  }
}

TEST(SwtReader, RecordNames) {
  EXPECT_EQ(mh_record_to_string(16), "TSD1");
  EXPECT_EQ(mh_record_to_string(46), "SWT_CM");
  EXPECT_EQ(mh_record_to_string(76), "SWT_L2T_HM2");
  EXPECT_EQ(mh_record_to_string(80), "SWT_DCT_HART");
  EXPECT_EQ(mh_record_to_string(88), "SWT_DCT_DSR");
  EXPECT_EQ(mh_record_to_string(17), "unknown (17)");
  EXPECT_EQ(mh_record_to_string(256), "unknown (256)");
}

// Two harts interleaved; the mask chooses which one is read, and the other
// one's records (with piids that would be wrong for the chosen hart) are
// stepped over. Records of hart 0 before any SWT_HART belong to hart 0.
TEST(SwtReader, HartSelection) {
  temp_file_t f;
  write_trace(f.path, rv64, [](et_writer_t& w) {
    w.record_swt_is(0, 3, 0x100);
    w.record_swt_cm(0, 0x100, false, false, 0, false);
    for (unsigned i = 0; i < 20; ++i) {
      w.record_swt_hart(1);
      w.record_swt_is(i, 3, 0x1000 + i);
      // Records of every length, stepped over when hart 1 is not read.
      w.record_swt_irfra(i, 1, 3);
      w.record_swt_irfrd(i, 1, ~0ull);
      w.record_swt_irfwa(i, 4);
      w.record_swt_frfwd(i, ~0ull);
      w.record_swt_fr(i, true);
      w.record_swt_va(i, ~0ull);
      w.record_swt_pa(i, ~0ull);
      w.record_swt_std(i, ~0ull);
      w.record_swt_hart(0);
      w.record_swt_is(i + 1, 3, 0x101 + i);
      w.record_swt_hart(1);
      w.record_swt_cm(i, 0x1000 + i, false, false, 0, false);
      w.record_swt_hart(0);
      w.record_swt_cm(i + 1, 0x101 + i, false, false, 0, false);
    }
  });
  for (unsigned long mask : {1ul, 2ul, 3ul}) {
    auto r = open_reader(f.path, rv64, mask);
    std::vector<std::pair<unsigned, uint64_t>> got;
    while (et_object_t* o = r->get_next_object()) {
      ASSERT_TRUE(o->insn.committed);
      EXPECT_EQ(o->insn.pc, o->insn.insn);
      got.push_back({o->insn.hart, o->insn.uiid});
    }
    const size_t expect = (mask & 1 ? 21 : 0) + (mask & 2 ? 20 : 0);
    ASSERT_EQ(got.size(), expect) << mask;
    if (mask == 2) {
      for (unsigned i = 0; i < 20; ++i) EXPECT_EQ(got[i], std::make_pair(1u, uint64_t(i)));
    }
  }
}

// 3000 instructions: the piid wraps at 1024 while uiid keeps counting, and a
// later record finds the newest issue of its piid.
TEST(SwtReader, PiidWrapsAt1024) {
  temp_file_t f;
  write_trace(f.path, rv64, [](et_writer_t& w) {
    for (unsigned i = 0; i < 3000; ++i) {
      w.record_swt_is(i & 1023, 3, i);
      if (i >= 1) w.record_swt_cm((i - 1) & 1023, 0x1000 + 4 * (i - 1), false, false, 0, false);
    }
    w.record_swt_cm(2999 & 1023, 0x1000 + 4 * 2999, false, false, 0, false);
  });
  auto r = open_reader(f.path, rv64);
  for (uint64_t i = 0; i < 3000; ++i) {
    et_object_t* o = r->get_next_object();
    ASSERT_NE(o, nullptr);
    ASSERT_EQ(o->insn.uiid, i);
    ASSERT_EQ(o->insn.insn, i);
    ASSERT_TRUE(o->insn.committed);
    ASSERT_EQ(o->insn.pc, 0x1000 + 4 * i);
  }
  EXPECT_EQ(r->get_next_object(), nullptr);
}

// Cycle counters more than 2^32 cycles after the issue come out whole, next
// to ones close to it; an instruction issued late counts from its own issue.
TEST(SwtReader, CycleCountersFarFromTheIssue) {
  // TSD1 records of 255 cycles, four per 64-bit word.
  const uint64_t words = ((uint64_t(1) << 32) / 255) / 4 + 1;
  const uint64_t far = 6 + words * 4 * 255;
  temp_file_t f;
  write_trace(f.path, rv64, [&](et_writer_t& w) {
    w.record_tsd1(5);
    w.record_swt_is(0, 3, 0x13);
    w.record_tsd1(1);
    w.record_swt_irfwd(0, 7);
    w.record_swt_va(0, 0x1000);
    w.record_swt_frfrd(0, 6, 9);
    for (uint64_t i = 0; i < words; ++i) w.append(0xff10ff10ff10ff10ull, 64);
    w.record_swt_irfwd(0, 8);  // a later write overwrites the near one
    w.record_swt_irfrd(0, 1, 10);
    w.record_swt_pa(0, 0x2000);
    w.record_swt_std(0, 11);
    w.record_swt_fr(0, true);
    w.record_swt_cm(0, 0x4000, false, false, 0, false);
    w.record_swt_is(1, 3, 0x13);
    w.record_tsd1(2);
    w.record_swt_cm(1, 0x4004, false, false, 0, false);
  });
  auto r = open_reader(f.path, rv64);
  et_object_t* o = r->get_next_object();
  ASSERT_NE(o, nullptr);
  const et_insn_t& a = o->insn;
  EXPECT_EQ(a.issue_cycle, 5u);
  EXPECT_EQ(a.ea_cycle, 6u);
  EXPECT_EQ(a.write_cycle, far);
  EXPECT_EQ(a.rd.value, 8u);
  EXPECT_EQ(a.read_cycle, far);
  EXPECT_EQ(a.pa_cycle, far);
  EXPECT_EQ(a.sd_cycle, far);
  EXPECT_EQ(a.fr_cycle, far);
  EXPECT_EQ(a.commit_cycle, far);
  EXPECT_TRUE(a.ea_valid && a.pa_valid && a.sd_valid && a.committed && a.fr_e0);
  EXPECT_TRUE(a.frs2.data_valid && a.rs1.data_valid);
  o = r->get_next_object();
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->insn.issue_cycle, far);
  EXPECT_EQ(o->insn.commit_cycle, far + 2);
  EXPECT_EQ(r->get_next_object(), nullptr);
}

// A ring slot reused by a record with few fields keeps nothing of the full
// record it held before, and what a caller writes into a handed-out record
// (its fields, or a traffic record's bytes) is gone from the next one: every
// byte of the records after the first ring equals a record built from zero.
TEST(SwtReader, ReusedSlotsKeepNothingOfTheirLastRecord) {
  const unsigned full = mh_swt_reader_t::ring_size;
  const unsigned plain = 300;
  temp_file_t f;
  write_trace(f.path, rv64, [&](et_writer_t& w) {
    for (unsigned i = 0; i < full; ++i) {
      const unsigned short p = i & 1023;
      w.record_swt_is(p, 3, 0x9000000000000001ull);
      for (unsigned char slot : {1, 2, 3, 13}) {
        w.record_swt_irfra(p, slot, 7);
        w.record_swt_irfrd(p, slot, ~0ull);
      }
      for (unsigned char slot : {5, 6, 7}) {
        w.record_swt_frfra(p, slot, 7);
        w.record_swt_frfrd(p, slot, ~0ull);
      }
      w.record_swt_irfwa(p, 7);
      w.record_swt_irfwd(p, ~0ull);
      w.record_swt_frfwa(p, 7);
      w.record_swt_frfwd(p, ~0ull);
      w.record_swt_fr(p, true);
      w.record_swt_va(p, ~0ull);
      w.record_swt_pa(p, ~0ull);
      w.record_swt_std(p, ~0ull);
      w.record_tsd1(1);
      w.record_swt_cm(p, ~0ull, true, true, ~0ull, true);
    }
    for (unsigned i = full; i < full + plain; ++i) {
      w.record_swt_is(i & 1023, 1, 0x13);
      w.record_swt_cm(i & 1023, 0x1000 + i, false, false, 0, false);
      if (i % 100 == 0) write_record(w, SWT_RVT, {{0x5555, 64}});
    }
  });
  auto r = open_reader(f.path, rv64, 1, false);
  for (unsigned i = 0; i < full; ++i) {
    et_object_t* o = r->get_next_object();
    ASSERT_NE(o, nullptr);
    ASSERT_TRUE(o->insn.frs3.data_valid && o->insn.committed && o->insn.trig) << i;
  }
  for (unsigned i = full; i < full + plain; ++i) {
    et_object_t* o = r->get_next_object();
    ASSERT_NE(o, nullptr);
    et_object_t expected;
    std::memset(&expected, 0, sizeof(expected));
    expected.type = ET_KIND_INSN;
    expected.insn.uiid = i;
    expected.insn.issue_cycle = full;
    expected.insn.commit_cycle = full;
    expected.insn.mode = 1;
    expected.insn.insn = 0x13;
    expected.insn.pc = 0x1000 + i;
    expected.insn.committed = true;
    ASSERT_EQ(std::memcmp(o, &expected, sizeof(expected)), 0) << i;
    std::memset(o->insn.disasm, 'x', sizeof(o->insn.disasm) - 1);
    o->insn.insn_id = 5;
    o->insn.rs1.value = 1;
    if (i % 100 == 0) {
      o = r->get_next_object();
      ASSERT_NE(o, nullptr);
      std::memset(&expected, 0, sizeof(expected));
      expected.type = ET_KIND_RVT;
      expected.rvt.cycle = full;
      expected.rvt.data = 0x5555;
      ASSERT_EQ(std::memcmp(o, &expected, sizeof(expected)), 0) << i;
      std::memset(reinterpret_cast<char*>(o) + 1, 0x77, sizeof(*o) - 1);
    }
  }
  EXPECT_EQ(r->get_next_object(), nullptr);
}

// More records than the ring holds: the first instruction's commit comes
// after 131070 further records, the most that still lands in it before it is
// handed out; all records come out in order. A commit that arrives after its
// issue record's slot has been reused is refused.
TEST(SwtReader, RingRefillAndReach) {
  const unsigned n = mh_swt_reader_t::ring_size + 5000;
  temp_file_t f;
  write_trace(f.path, rv64, [&](et_writer_t& w) {
    w.record_swt_is(0, 3, 0);
    w.record_swt_hart(1);
    for (unsigned i = 0; i < mh_swt_reader_t::ring_size - 2; ++i) w.record_swt_is(i & 1023, 3, i);
    w.record_swt_hart(0);
    w.record_swt_cm(0, 0x4000, false, false, 0, false);
    w.record_swt_hart(1);
    for (unsigned i = mh_swt_reader_t::ring_size - 2; i < n; ++i) w.record_swt_is(i & 1023, 3, i);
  });
  auto r = open_reader(f.path, rv64, 3);
  et_object_t* o = r->get_next_object();
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->insn.hart, 0);
  EXPECT_TRUE(o->insn.committed);
  EXPECT_EQ(o->insn.pc, 0x4000u);
  for (uint64_t i = 0; i < n; ++i) {
    o = r->get_next_object();
    ASSERT_NE(o, nullptr);
    ASSERT_EQ(o->insn.hart, 1);
    ASSERT_EQ(o->insn.uiid, i);
  }
  EXPECT_EQ(r->get_next_object(), nullptr);

  temp_file_t late;
  write_trace(late.path, rv64, [&](et_writer_t& w) {
    w.record_swt_is(0, 3, 0);
    w.record_swt_hart(1);
    for (unsigned i = 0; i < mh_swt_reader_t::ring_size; ++i) w.record_swt_is(i & 1023, 3, 0x77);
    w.record_swt_hart(0);
    w.record_swt_cm(0, 0x4000, false, false, 0, false);
  });
  auto lr = open_reader(late.path, rv64, 3);
  std::string err;
  uint64_t seen = 0;
  try {
    while (et_object_t* x = lr->get_next_object()) {
      // The newer record that took the old slot is never touched.
      if (x->insn.hart == 1) {
        EXPECT_FALSE(x->insn.committed);
      }
      ++seen;
    }
  } catch (const std::runtime_error& e) {
    err = e.what();
  }
  EXPECT_EQ(err,
            "Issue record out of reach: current record: SWT_CM, cycle: 0, hart: 0, piid: 0, its issue record lies "
            "more than 131072 records back");
  EXPECT_EQ(seen, 2u);  // records 0 and 1 were handed out before the commit was parsed
}

// A file cut at every byte inside a trace of every record kind: reading stops
// quietly with the records read so far; nothing is read past the data.
TEST(SwtReader, TruncatedFilesEndQuietly) {
  const design_t d = rv64;
  temp_file_t full;
  write_trace(full.path, d, [&](et_writer_t& w) {
    w.record_swt_hart(0);
    w.record_swt_is(0, 3, 0x1234);
    w.record_swt_irfra(0, 1, 3);
    w.record_swt_irfrd(0, 1, ~0ull);
    w.record_swt_frfwd(0, ~0ull);
    w.record_swt_va(0, ~0ull);
    w.record_swt_std(0, ~0ull);
    w.record_swt_cm(0, 0x8000, false, false, 0, false);
    write_record(w, SWT_RVT, {{~0ull, 64}});
    write_record(w, SWT_L2T_UWD, data_fields(d, 3));
    write_record(w, SWT_L2T_HM2, {{1, 64}, {1, 64}, {1, 51}});
    write_record(w, SWT_DCT_BRQ, {{~0ull, 64}, {~0ull, 64}, {~0ull, 64}, {~0ull, 12}});
    w.record_swt_is(1, 3, 0x5678);
  });
  const std::vector<unsigned char> bytes = read_bytes(full.path);
  temp_file_t cut;
  size_t prev_count = 0;
  for (size_t len = 0; len <= bytes.size(); ++len) {
    write_bytes(cut.path, std::vector<unsigned char>(bytes.begin(), bytes.begin() + len));
    auto r = open_reader(cut.path, d);
    size_t count = 0;
    while (r->get_next_object() != nullptr) ++count;
    EXPECT_EQ(r->get_next_object(), nullptr);
    EXPECT_GE(count, prev_count) << len;
    prev_count = count;
  }
  EXPECT_EQ(prev_count, 6u);

  // Cut inside the issue record's instruction word: the record is handed out
  // with what was read (uiid, hart, mode) and zero in the rest.
  write_bytes(cut.path, std::vector<unsigned char>(bytes.begin(), bytes.begin() + 2 + 6));
  auto r = open_reader(cut.path, d);
  et_object_t* o = r->get_next_object();
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->insn.uiid, 0u);
  EXPECT_EQ(o->insn.mode, 3u);
  EXPECT_EQ(o->insn.insn, 0u);
  EXPECT_EQ(r->get_next_object(), nullptr);

  // Cut inside the commit record's flags: pc read, not committed.
  temp_file_t cm;
  write_trace(cm.path, d, [](et_writer_t& w) {
    w.record_swt_is(0, 3, 0x13);
    w.record_swt_cm(0, 0x8000, true, true, 3, true);
  });
  std::vector<unsigned char> cmb = read_bytes(cm.path);
  cmb.resize(11 + 11);  // code, piid and pc fit in 11 bytes; the flags are cut
  write_bytes(cm.path, cmb);
  auto rc = open_reader(cm.path, d);
  o = rc->get_next_object();
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->insn.pc, 0x8000u);
  EXPECT_FALSE(o->insn.committed);
  EXPECT_FALSE(o->insn.trap);
}

// A file that ends with a lone TSD1 code byte, as other writers leave it.
TEST(SwtReader, LoneTrailingCodeByteIsTheEnd) {
  temp_file_t f;
  write_trace(f.path, rv64, [](et_writer_t& w) {
    w.record_swt_is(0, 3, 0x13);
    w.record_swt_cm(0, 0x44, false, false, 0, false);
  });
  std::vector<unsigned char> b = read_bytes(f.path);
  // 11 + 12 bytes and one straddling padding record, written completely.
  ASSERT_EQ(b.size(), 25u);
  ASSERT_EQ(b[23], 0x10);
  b.pop_back();  // drop its delta byte: the file ends with a lone code byte
  write_bytes(f.path, b);
  auto r = open_reader(f.path, rv64);
  et_object_t* o = r->get_next_object();
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->insn.pc, 0x44u);
  EXPECT_EQ(r->get_next_object(), nullptr);
}

// A trace of every record kind, of two read harts and one stepped over,
// with traffic, far cycle counters and reused ring slots, written from a
// seed; `ending` adds a record the reader refuses (1: a commit on hart 6,
// which issued nothing, 2: an unknown code, 3: an issue out of sequence).
void write_mixed_trace(const std::string& path, const design_t& d, uint32_t seed, unsigned instructions,
                       unsigned ending) {
  uint64_t state = seed * 0x9e3779b97f4a7c15ull + 1;
  const auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  };
  write_trace(path, d, [&](et_writer_t& w) {
    uint64_t issued[3] = {0, 0, 0};
    for (unsigned i = 0; i < instructions; ++i) {
      const unsigned char h = static_cast<unsigned char>(next() % 3);
      w.record_swt_hart(h);
      const unsigned short p = static_cast<unsigned short>(issued[h]++ & 1023);
      w.record_swt_is(p, static_cast<unsigned char>(next() & 3), next());
      const uint64_t kinds = next();
      for (unsigned k = 0; k < 16; ++k) {
        if (((kinds >> (4 * k)) & 15) > 4) continue;
        const uint64_t v = next();
        switch (k) {
          case 0: w.record_swt_irfra(p, static_cast<unsigned char>(v % 16), static_cast<unsigned char>(v >> 8 & 31)); break;
          case 1: w.record_swt_irfrd(p, static_cast<unsigned char>(v % 16), next()); break;
          case 2: w.record_swt_irfwa(p, static_cast<unsigned char>(v & 31)); break;
          case 3: w.record_swt_irfwd(p, v); break;
          case 4: w.record_swt_frfra(p, static_cast<unsigned char>(v % 16), static_cast<unsigned char>(v >> 8 & 31)); break;
          case 5: w.record_swt_frfrd(p, static_cast<unsigned char>(v % 16), next()); break;
          case 6: w.record_swt_frfwa(p, static_cast<unsigned char>(v & 31)); break;
          case 7: w.record_swt_frfwd(p, v); break;
          case 8: w.record_swt_fr(p, v & 1); break;
          case 9: w.record_swt_va(p, v); break;
          case 10: w.record_swt_pa(p, v); break;
          case 11: w.record_swt_std(p, v); break;
          case 12: w.record_tsd1(static_cast<unsigned char>(v)); break;
          case 13: write_record(w, SWT_RVT, {{v, 64}}); break;
          case 14: write_record(w, SWT_L2T_URQ, {{v, 64}, {next(), 19}}); break;
          default: write_record(w, SWT_DCT_WUP, {{v, 11}}); break;
        }
      }
      // Most commit at once; some later, after other instructions, and
      // some never; some twice.
      const uint64_t c = next();
      if (c % 8 != 0) w.record_swt_cm(p, c >> 8, c & 2, c & 4, c >> 3, c & 16);
      if (c % 16 == 1) w.record_swt_cm(p, c >> 12, c & 32, false, 0, false);
      if (issued[h] > 5 && c % 8 == 0) w.record_swt_cm(static_cast<unsigned short>((issued[h] - 3) & 1023), c, false, c & 64, 9, false);
      if (c % 1000 == 7)
        for (unsigned t = 0; t < 300; ++t) w.record_tsd1(255);  // counters far from their issue
    }
    w.record_swt_hart(ending == 1 ? 6 : 0);  // hart 6 has issued nothing
    if (ending == 1) w.record_swt_cm(5, 0x10, false, false, 0, false);
    if (ending == 2) write_record(w, 0, {});
    if (ending == 3) w.record_swt_is(static_cast<unsigned short>((issued[0] + 2) & 1023), 3, 0x13);
  });
}

// Reads the file with a full reader and one that keeps only the outcome, side
// by side: the same records, the kept fields equal, the end or the error at
// the same call. Returns the records read, and the error.
std::pair<size_t, std::string> compare_outcome_reader(const std::string& path, const design_t& d,
                                                      unsigned long mask) {
  auto full = open_reader(path, d, mask);
  auto lean = open_reader(path, d, mask);
  lean->keep_only_outcome();
  size_t n = 0;
  for (;; ++n) {
    et_object_t* a = nullptr;
    et_object_t* b = nullptr;
    const std::string ea = error_of([&] { a = full->get_next_object(); });
    const std::string eb = error_of([&] { b = lean->get_next_object(); });
    EXPECT_EQ(ea, eb) << n;
    if (ea != "(no error)") return {n, ea};
    EXPECT_EQ(a == nullptr, b == nullptr) << n;
    if (a == nullptr || b == nullptr) return {n, ""};
    const et_object_t expected = swt_outcome_of(*a);
    if (std::memcmp(&expected, b, sizeof(expected)) != 0) {
      ADD_FAILURE() << "record " << n << " differs";
      return {n, ""};
    }
  }
}

TEST(SwtReader, KeepOnlyOutcomeKeepsTheOutcomeAndTheErrors) {
  const design_t designs[] = {rv64, {32, 64, 34, 17, 256, 4, false}};
  testing::internal::CaptureStdout();  // the note of a missing issue record
  for (const design_t& d : designs) {
    for (unsigned ending = 0; ending < 4; ++ending) {
      SCOPED_TRACE(testing::PrintToString(d) + " ending " + std::to_string(ending));
      temp_file_t f;
      // More records than the ring holds, of three harts (an error is
      // raised when parsing reaches it, a ring ahead of the caller).
      write_mixed_trace(f.path, d, 7 + ending, 100000, ending);
      const auto r = compare_outcome_reader(f.path, d, 0b1000101);
      EXPECT_GT(r.first, ending == 0 ? mh_swt_reader_t::ring_size : 10000);
      EXPECT_EQ(r.second.empty(), ending == 0) << r.second;
      EXPECT_EQ(compare_outcome_reader(f.path, d, 0b10).second.empty(), ending != 2);
    }
    // Cut at every byte: the same records, with what the cut record held.
    temp_file_t f;
    write_mixed_trace(f.path, d, 3, 12, 0);
    const std::vector<unsigned char> bytes = read_bytes(f.path);
    temp_file_t cut;
    for (size_t len = 0; len <= bytes.size(); ++len) {
      write_bytes(cut.path, std::vector<unsigned char>(bytes.begin(), bytes.begin() + len));
      compare_outcome_reader(cut.path, d, 0b111);
    }
  }
  const std::string notes = testing::internal::GetCapturedStdout();
  if (HasFailure()) std::cout << notes;  // where the failures went

  temp_file_t f;
  write_mixed_trace(f.path, rv64, 1, 3, 0);
  auto r = open_reader(f.path, rv64, 1);
  ASSERT_NE(r->get_next_object(), nullptr);
  EXPECT_THROW(r->keep_only_outcome(), std::logic_error);
}

// Timing of the reader on a few million records; run by hand with
// --gtest_also_run_disabled_tests.
TEST(SwtReaderSpeed, DISABLED_FewMillionRecords) {
  const unsigned n = 1000000;
  temp_file_t f;
  write_trace(f.path, rv64, [&](et_writer_t& w) {
    w.record_swt_hart(0);
    for (unsigned i = 0; i < n; ++i) {
      w.record_swt_is(i & 1023, 3, 0x13);
      w.record_tsd1(1);
      w.record_swt_irfra(i & 1023, 1, 5);
      w.record_swt_irfrd(i & 1023, 1, i);
      w.record_swt_irfwa(i & 1023, 6);
      w.record_swt_irfwd(i & 1023, i);
      w.record_swt_cm(i & 1023, 0x1000 + 4 * i, false, false, 0, false);
    }
  });
  const auto t0 = std::chrono::steady_clock::now();
  auto r = open_reader(f.path, rv64, 1, true);
  uint64_t sum = 0, count = 0;
  while (et_object_t* o = r->get_next_object()) {
    sum += o->insn.pc;
    ++count;
  }
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  std::printf("%llu instructions (%u swt records) in %.3f s: %.1f ns per swt record (checksum %llu)\n",
              static_cast<unsigned long long>(count), n * 7, s, s * 1e9 / (n * 7.0),
              static_cast<unsigned long long>(sum));
}

}  // namespace
