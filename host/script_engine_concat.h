// The engine's two-value concatenation (the `+` operator on text, and `+=`),
// spliced into its source in place of the stock one. A short result is put
// together on the native stack and interned from there; the stock version
// builds every result in a temporary buffer value first (an allocation, a
// value-stack slot and a free for each `+`). A whole number from 0 to
// 2^32 - 1 is written as its digits in place instead of being interned as a
// string of its own first ("Report " + n). Anything else (longer results,
// other values) goes the stock way, renamed duk__concat_2_stock.

DUK_LOCAL void duk__concat_2_stock(duk_hthread* thr);

// The text of the value at `idx`: digits written into `digits` for a whole
// number in range (the same digits the engine's ToString gives), else the
// value converted to a string in place.
DUK_LOCAL duk_size_t duk__concat_2_part(duk_hthread* thr, duk_idx_t idx, duk_uint8_t (&digits)[10],
                                        const duk_uint8_t** text) {
  duk_tval* tv = duk_get_tval(thr, idx);
  if (DUK_TVAL_IS_NUMBER(tv)) {
    const duk_double_t x = DUK_TVAL_GET_NUMBER(tv);
    if (x >= 0.0 && x < 4294967296.0 && x == (duk_double_t)(duk_uint32_t)x) {
      duk_uint32_t value = (duk_uint32_t)x;
      duk_uint8_t* p = digits + sizeof digits;
      do {
        *--p = (duk_uint8_t)('0' + value % 10U);
        value /= 10U;
      } while (value != 0U);
      *text = p;
      return (duk_size_t)(digits + sizeof digits - p);
    }
  }
  duk_hstring* h = duk_to_hstring(thr, idx);
  *text = DUK_HSTRING_GET_DATA(h);
  return (duk_size_t)DUK_HSTRING_GET_BYTELEN(h);
}

DUK_INTERNAL void duk_concat_2(duk_hthread* thr) {
  duk_uint8_t digits1[10], digits2[10];
  const duk_uint8_t *text1, *text2;
  duk_uint8_t joined[256];

  DUK_ASSERT_API_ENTRY(thr);
  DUK_ASSERT(duk_get_top(thr) >= 2);  // trusted caller

  // Converting the second value may intern a string (and collect garbage),
  // which leaves the first one's text where it is: it is held on the value
  // stack.
  const duk_size_t len1 = duk__concat_2_part(thr, -2, digits1, &text1);
  const duk_size_t len2 = duk__concat_2_part(thr, -1, digits2, &text2);
  if (len1 + len2 > sizeof joined) {
    duk__concat_2_stock(thr);
    return;
  }
  duk_memcpy((void*)joined, (const void*)text1, len1);
  duk_memcpy((void*)(joined + len1), (const void*)text2, len2);
  duk_push_lstring(thr, (const char*)joined, len1 + len2);
  duk_replace(thr, -3);
  duk_pop_unsafe(thr);
}
