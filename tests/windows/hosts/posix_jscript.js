// Page helpers for `vantrel run`, reporting errors as JScript sees them under
// cscript: number and description (a JScript error has no source).
function report(e) {
  Response.Write((e.number & 0xFFFF) + " " + e.description + "\r\n");
}
function attempt(step) {
  try {
    step();
  } catch (e) {
    report(e);
  }
}
