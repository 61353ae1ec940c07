/* vantrel-compat.js: lets the client scripts of Vantrel's components run in
 * current browsers. Include it once, before the first component output:
 *   <script src="vantrel-compat.js"></script>   (right after <body>, or in <head>)
 * Where a browser still has the legacy objects, it changes nothing.
 * It supplies:
 *  - window.createPopup(): an iframe popup (document, show, hide, isOpen);
 *  - createTextRange() on the fields AutoComplete builds (onkeyup calls
 *    autoComplete(...)), and on no other field;
 *  - cursor:hand shown as a pointer, a table row set to display "block" laid
 *    out as a table row, an empty progress cell image kept invisible;
 *  - a ProgressBar cell's colour without "#" (e.g. "008000") accepted by
 *    style.backgroundColor in standards mode.
 * Plain ES5, no dependencies. */
(function (window, document) {
  "use strict";

  var PREFIX = "vantrel-compat.js: ";

  // Component scripts that ran before this file leave these globals behind.
  function warnIfLate() {
    var seen = [], names = ["oPopup", "oCalPopUp", "autoComplete", "buildCal", "selectTab",
      "changeTableRow", "progress_update"];
    for (var i = 0; i < names.length; i++) {
      if (names[i] in window) seen.push(names[i]);
    }
    if (seen.length && window.console) {
      window.console.error(PREFIX + "loaded after component output (" + seen.join(", ") +
        " already defined); components above this point are broken. Load it before the " +
        "first component, e.g. <script src=\"vantrel-compat.js\"></script> right after <body>.");
    }
  }

  // Styles: a stylesheet alone, no element is changed.
  var RULES =
    "[style*='cursor:hand' i],[style*='cursor: hand' i]{cursor:pointer}" +
    "tr[style*='display: block' i],tr[style*='display:block' i]{display:table-row !important}" +
    "span[id^='progress']>img[src='']{visibility:hidden}";

  function addStyle(doc, text) {
    var style = doc.createElement("style");
    style.setAttribute("data-vantrel-compat", "");
    style.appendChild(doc.createTextNode(text));
    (doc.head || doc.documentElement).appendChild(style);
    return style;
  }

  // Rules of <style> blocks that ask for cursor:hand (dropped as invalid) get
  // a cursor:pointer twin.
  function repairHandCursorRules(target) {
    var styles = document.getElementsByTagName("style"), added = "";
    for (var i = 0; i < styles.length; i++) {
      if (styles[i].hasAttribute("data-vantrel-compat")) continue;
      var text = styles[i].textContent.replace(/<!--|-->/g, ""), match;
      var rule = /([^{}]+)\{[^}]*cursor\s*:\s*hand\b[^}]*\}/gi;
      while ((match = rule.exec(text)) !== null) {
        added += match[1] + "{cursor:pointer}";
      }
    }
    target.textContent = RULES + added;
  }

  // Colours: a ProgressBar cell's colour without "#" (e.g. "008000") set
  // through element.style counts as "#008000", as it does without a doctype.
  // Only the cells (span id="progressN") get this, each on its own style
  // object: that is where both engines let it be changed.
  var BARE_HEX = /^([0-9a-f]{3}|[0-9a-f]{6})$/i, PROGRESS_CELL = /^progress\d+$/;
  function acceptBareHex(cell) {
    if (cell.vantrelColours || cell.tagName !== "SPAN" || !PROGRESS_CELL.test(cell.id)) return;
    cell.vantrelColours = true;
    var style = cell.style;
    [["backgroundColor", "background-color"], ["color", "color"]].forEach(function (names) {
      Object.defineProperty(style, names[0], {
        configurable: true,
        enumerable: true,
        get: function () { return style.getPropertyValue(names[1]); },
        set: function (value) {
          style.setProperty(names[1], BARE_HEX.test(value) ? "#" + value : value);
        }
      });
    });
  }
  function acceptBareHexBelow(root) {
    if (root.nodeType !== 1) return;
    acceptBareHex(root);
    var cells = root.querySelectorAll("span[id^='progress']");
    for (var i = 0; i < cells.length; i++) acceptBareHex(cells[i]);
  }
  // Mutation records are delivered before each script of the page runs, so
  // cells are ready before the page's progress_update() calls reach them.
  function watchProgressCells() {
    acceptBareHexBelow(document.documentElement);
    new window.MutationObserver(function (records) {
      for (var i = 0; i < records.length; i++) {
        var added = records[i].addedNodes;
        for (var j = 0; j < added.length; j++) acceptBareHexBelow(added[j]);
      }
    }).observe(document.documentElement, { childList: true, subtree: true });
  }

  // createTextRange: a range over the field's value, on top of setSelectionRange.
  function TextRange(field) {
    this.field = field;
    this.start = 0;
    this.end = field.value.length;
  }
  function clamp(n, low, high) { return Math.max(low, Math.min(high, n)); }
  Object.defineProperty(TextRange.prototype, "text", {
    get: function () { return this.field.value.substring(this.start, this.end); },
    set: function (text) {
      var value = this.field.value;
      this.field.value = value.substring(0, this.start) + text + value.substring(this.end);
      this.end = this.start + String(text).length;
    }
  });
  TextRange.prototype.moveStart = function (unit, count) {
    this.start = clamp(this.start + (count | 0), 0, this.field.value.length);
    if (this.end < this.start) this.end = this.start;
    return count | 0;
  };
  TextRange.prototype.moveEnd = function (unit, count) {
    this.end = clamp(this.end + (count | 0), 0, this.field.value.length);
    if (this.start > this.end) this.start = this.end;
    return count | 0;
  };
  TextRange.prototype.collapse = function (toStart) {
    if (toStart === false) this.start = this.end; else this.end = this.start;
  };
  TextRange.prototype.select = function () {
    this.field.setSelectionRange(this.start, this.end);
  };

  var AUTOCOMPLETE = /\bautoComplete\s*\(/;
  function giveTextRange(event) {
    var field = event.target;
    if (!field || (field.tagName !== "INPUT" && field.tagName !== "TEXTAREA")) return;
    if (field.createTextRange || !AUTOCOMPLETE.test(field.getAttribute("onkeyup") || "")) return;
    field.createTextRange = function () { return new TextRange(field); };
  }

  // createPopup: a positioned iframe; parent and window.parent inside it
  // reach this page, as the legacy popup's do.
  var popups = [];
  function viewport() {
    var root = document.compatMode === "BackCompat" && document.body ? document.body
      : document.documentElement;
    return { width: root.clientWidth || window.innerWidth,
             height: root.clientHeight || window.innerHeight };
  }

  function Popup() {
    var frame = document.createElement("iframe");
    frame.setAttribute("frameborder", "0");
    frame.setAttribute("scrolling", "no");
    frame.setAttribute("data-vantrel-popup", "");
    frame.style.cssText = "position:fixed;display:none;border:0;margin:0;padding:0;" +
      "left:0;top:0;width:0;height:0;z-index:2147483647;background:#fff";
    document.documentElement.appendChild(frame);
    var doc = frame.contentWindow.document;
    doc.open();
    doc.write("<html><head><style>html,body{margin:0;padding:0;overflow:hidden;" +
      "background:#fff}" + RULES + "</style></head><body></body></html>");
    doc.close();
    doc.addEventListener("keydown", closeOnEscape, true);
    this.frame = frame;
    this.document = doc;
    this.isOpen = false;
    this.box = null;
    var popup = this;
    new window.MutationObserver(function () { if (popup.isOpen) popup.fit(); })
      .observe(doc.documentElement, { childList: true, subtree: true, characterData: true });
    popups.push(this);
  }

  Popup.prototype.show = function (left, top, width, height, anchor) {
    var x = Number(left) || 0, y = Number(top) || 0;
    if (anchor && anchor !== document.body && anchor !== document.documentElement &&
        anchor.getBoundingClientRect) {
      var rect = anchor.getBoundingClientRect();
      x += rect.left;
      y += rect.top;
    }
    this.box = { x: x, y: y, width: Math.max(0, Number(width) || 0),
                 height: Math.max(0, Number(height) || 0) };
    this.frame.style.display = "block";
    this.isOpen = true;
    this.fit();
  };

  // The asked box, grown to the content when that is larger, kept inside the
  // viewport.
  Popup.prototype.fit = function () {
    var box = this.box, style = this.frame.style, body = this.document.body;
    style.width = box.width + "px";
    style.height = box.height + "px";
    var width = Math.max(box.width, body ? body.scrollWidth : 0);
    var height = Math.max(box.height, body ? body.scrollHeight : 0);
    var view = viewport();
    style.width = width + "px";
    style.height = height + "px";
    style.left = Math.max(0, Math.min(box.x, view.width - width)) + "px";
    style.top = Math.max(0, Math.min(box.y, view.height - height)) + "px";
  };

  Popup.prototype.hide = function () {
    this.frame.style.display = "none";
    this.isOpen = false;
  };

  function hideAll() {
    for (var i = 0; i < popups.length; i++) {
      if (popups[i].isOpen) popups[i].hide();
    }
  }
  function closeOnEscape(event) {
    if (event.key === "Escape" || event.keyCode === 27) hideAll();
  }

  if (window.createPopup) return;  // the legacy objects are there
  warnIfLate();

  window.createPopup = function () { return new Popup(); };
  document.addEventListener("mousedown", hideAll, true);
  document.addEventListener("keydown", closeOnEscape, true);
  document.addEventListener("focusin", giveTextRange, true);
  document.addEventListener("keyup", giveTextRange, true);
  watchProgressCells();

  var sheet = addStyle(document, RULES);
  document.addEventListener("DOMContentLoaded", function () { repairHandCursorRules(sheet); });
})(window, document);
