// Page helpers for `vantrel run`, reporting errors as the VBScript pages do:
// number, source and description.
function report(e) {
  Response.Write((e.number & 0xFFFF) + " " + e.source + ": " + e.description + "\r\n");
}
function attempt(step) {
  try {
    step();
  } catch (e) {
    report(e);
  }
}
