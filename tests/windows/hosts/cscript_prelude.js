// The page globals under cscript: Server.CreateObject creates the object
// through the platform, Response.Write appends to the page file named by the
// first argument (UTF-16, so every character arrives as it is).
var pageFile = new ActiveXObject("Scripting.FileSystemObject")
    .CreateTextFile(WScript.Arguments(0), true, true);
var Server = {
  CreateObject: function (progId) { return new ActiveXObject(progId); }
};
var Response = {
  // As `vantrel run` writes values: truth values as True and False, null
  // and undefined as nothing.
  Write: function (value) {
    if (value === null || value === undefined) return;
    if (typeof value == "boolean") value = value ? "True" : "False";
    pageFile.Write(String(value));
  }
};
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
