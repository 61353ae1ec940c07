// The engine's two-value concatenation (the `+` operator on text, and `+=`),
// spliced into its source in place of the stock one, and a fast path for the
// operator in front of the engine's general one. A short result is put
// together on the native stack and interned from there; the stock version
// builds every result in a temporary buffer value first (an allocation, a
// value-stack slot and a free for each `+`). A whole number from 0 to
// 2^32 - 1 is written as its digits in place instead of being interned as a
// string of its own first ("Report " + n). Anything else (longer results,
// other values) goes the stock way, renamed duk__concat_2_stock.

DUK_LOCAL void duk__concat_2_stock(duk_hthread* thr);

// Results up to this size are joined on the native stack.
#define DUK__CONCAT_2_JOINED 256

// The digits of `tv` when it is a whole number from 0 to 2^32 - 1 (the same
// digits the engine's ToString gives), written at the end of `digits`; false
// for any other value.
DUK_LOCAL duk_bool_t duk__concat_2_digits(duk_tval* tv, duk_uint8_t (&digits)[10],
                                          const duk_uint8_t** text, duk_size_t* len) {
  if (!DUK_TVAL_IS_NUMBER(tv)) return 0;
  const duk_double_t x = DUK_TVAL_GET_NUMBER(tv);
  if (!(x >= 0.0 && x < 4294967296.0 && x == (duk_double_t)(duk_uint32_t)x)) return 0;
  duk_uint32_t value = (duk_uint32_t)x;
  duk_uint8_t* p = digits + sizeof digits;
  do {
    *--p = (duk_uint8_t)('0' + value % 10U);
    value /= 10U;
  } while (value != 0U);
  *text = p;
  *len = (duk_size_t)(digits + sizeof digits - p);
  return 1;
}

// The text of the value at `idx`: its digits for a whole number in range,
// else the value converted to a string in place.
DUK_LOCAL duk_size_t duk__concat_2_part(duk_hthread* thr, duk_idx_t idx, duk_uint8_t (&digits)[10],
                                        const duk_uint8_t** text) {
  duk_size_t len = 0;
  if (duk__concat_2_digits(duk_get_tval(thr, idx), digits, text, &len)) return len;
  duk_hstring* h = duk_to_hstring(thr, idx);
  *text = DUK_HSTRING_GET_DATA(h);
  return (duk_size_t)DUK_HSTRING_GET_BYTELEN(h);
}

// The two texts joined on the native stack and interned (which may collect
// garbage: both texts are copied before it).
DUK_LOCAL duk_hstring* duk__concat_2_join(duk_hthread* thr, const duk_uint8_t* text1,
                                          duk_size_t len1, const duk_uint8_t* text2,
                                          duk_size_t len2) {
  duk_uint8_t joined[DUK__CONCAT_2_JOINED];
  DUK_ASSERT(len1 + len2 <= sizeof joined);
  duk_memcpy((void*)joined, (const void*)text1, len1);
  duk_memcpy((void*)(joined + len1), (const void*)text2, len2);
  return duk_heap_strtable_intern_checked(thr, joined, (duk_uint32_t)(len1 + len2));
}

DUK_INTERNAL void duk_concat_2(duk_hthread* thr) {
  duk_uint8_t digits1[10], digits2[10];
  const duk_uint8_t *text1, *text2;

  DUK_ASSERT_API_ENTRY(thr);
  DUK_ASSERT(duk_get_top(thr) >= 2);  // trusted caller

  // Converting the second value may intern a string (and collect garbage),
  // which leaves the first one's text where it is: it is held on the value
  // stack.
  const duk_size_t len1 = duk__concat_2_part(thr, -2, digits1, &text1);
  const duk_size_t len2 = duk__concat_2_part(thr, -1, digits2, &text2);
  if (len1 + len2 > DUK__CONCAT_2_JOINED) {
    duk__concat_2_stock(thr);
    return;
  }
  duk_push_hstring(thr, duk__concat_2_join(thr, text1, len1, text2, len2));
  duk_replace(thr, -3);
  duk_pop_unsafe(thr);
}

// The text of `tv` for the operator's fast path: a string (not a symbol) or
// a whole number in range; false for anything that needs the general path.
DUK_LOCAL duk_bool_t duk__concat_2_operand(duk_tval* tv, duk_uint8_t (&digits)[10],
                                           const duk_uint8_t** text, duk_size_t* len) {
  if (DUK_TVAL_IS_STRING(tv)) {
    duk_hstring* h = DUK_TVAL_GET_STRING(tv);
    if (DUK_HSTRING_HAS_SYMBOL(h)) return 0;
    *text = DUK_HSTRING_GET_DATA(h);
    *len = (duk_size_t)DUK_HSTRING_GET_BYTELEN(h);
    return 1;
  }
  return duk__concat_2_digits(tv, digits, text, len);
}

// `z = x + y` when x and y are strings or whole numbers in range, at least one
// of them a string, and the result is short: joined, interned and stored in
// register `idx_z` without the operator's general path (copies of both values
// on the value stack, ToPrimitive on each, then the concatenation above).
// Neither value has a conversion that could run code. False when the general
// path must run.
DUK_LOCAL duk_bool_t duk__concat_2_operator(duk_hthread* thr, duk_tval* tv_x, duk_tval* tv_y,
                                            duk_small_uint_fast_t idx_z) {
  duk_uint8_t digits1[10], digits2[10];
  const duk_uint8_t *text1, *text2;
  duk_size_t len1, len2;

  if (!(DUK_TVAL_IS_STRING(tv_x) || DUK_TVAL_IS_STRING(tv_y)) ||
      !duk__concat_2_operand(tv_x, digits1, &text1, &len1) ||
      !duk__concat_2_operand(tv_y, digits2, &text2, &len2) || len1 + len2 > DUK__CONCAT_2_JOINED) {
    return 0;
  }
  duk_hstring* h = duk__concat_2_join(thr, text1, len1, text2, len2);
  // Interning may collect garbage and move the value stack: the target
  // register is found after it.
  duk_tval* tv_z = thr->valstack_bottom + idx_z;
  DUK_TVAL_SET_STRING_UPDREF(thr, tv_z, h);
  return 1;
}
