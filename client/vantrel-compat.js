/* vantrel-compat.js: runs the client scripts of Vantrel's components in
 * current browsers; does nothing where the legacy objects exist. Load it
 * before the first component output, e.g. right after <body>:
 *   <script src="vantrel-compat.js"></script>
 * Plain ES5, no dependencies. See docs/compat.md. */
(function (window, document) {
  "use strict";
  if (window.createPopup) return;

  // Component scripts that ran before this file leave these globals behind.
  var late = ["oPopup", "oCalPopUp", "autoComplete", "buildCal", "selectTab", "changeTableRow",
    "progress_update"].filter(function (name) { return name in window; });
  if (late.length && window.console) {
    window.console.error("vantrel-compat.js: loaded after component output (" + late.join(", ") +
      " already defined): those components are broken. Load it before the first one.");
  }

  // Styles, by selectors over the style attribute: no element is changed.
  var RULES = "[style*='cursor:hand' i],[style*='cursor: hand' i]{cursor:pointer}" +
    "tr[style*='display: block' i],tr[style*='display:block' i]{display:table-row!important}" +
    "span[id^='progress']>img[src='']{visibility:hidden}";
  var sheet = document.createElement("style");
  sheet.textContent = RULES;
  (document.head || document.documentElement).appendChild(sheet);

  // Rules of the page's <style> blocks that ask for cursor:hand (dropped as
  // invalid) get a cursor:pointer twin.
  document.addEventListener("DOMContentLoaded", function () {
    var styles = document.getElementsByTagName("style"), extra = "", match, i;
    var rule = /([^{}]+)\{[^}]*cursor\s*:\s*hand\b[^}]*\}/gi;
    for (i = 0; i < styles.length; i++) {
      var text = styles[i] === sheet ? "" : styles[i].textContent.replace(/<!--|-->/g, "");
      while ((match = rule.exec(text)) !== null) extra += match[1] + "{cursor:pointer}";
    }
    sheet.textContent = RULES + extra;
  });

  // ProgressBar cells (span id="progressN") take "008000" through
  // style.backgroundColor or .color as "#008000", as without a doctype; set on
  // each cell's own style object, where both engines allow it.
  var BARE_HEX = /^([0-9a-f]{3}|[0-9a-f]{6})$/i, CELL = /^progress\d+$/;
  function mendCell(cell) {
    if (cell.vantrelMended || cell.tagName !== "SPAN" || !CELL.test(cell.id)) return;
    cell.vantrelMended = true;
    var style = cell.style;
    [["backgroundColor", "background-color"], ["color", "color"]].forEach(function (names) {
      Object.defineProperty(style, names[0], {
        configurable: true, enumerable: true,
        get: function () { return style.getPropertyValue(names[1]); },
        set: function (v) { style.setProperty(names[1], BARE_HEX.test(v) ? "#" + v : v); }
      });
    });
  }
  function mendCells(node) {
    if (node.nodeType !== 1) return;
    mendCell(node);
    var cells = node.querySelectorAll("span[id^='progress']");
    for (var i = 0; i < cells.length; i++) mendCell(cells[i]);
  }
  // Mutation records arrive before each script of the page runs: cells are
  // mended before the page's progress_update() calls reach them.
  mendCells(document.documentElement);
  new window.MutationObserver(function (records) {
    for (var i = 0; i < records.length; i++) {
      for (var j = 0; j < records[i].addedNodes.length; j++) mendCells(records[i].addedNodes[j]);
    }
  }).observe(document.documentElement, { childList: true, subtree: true });

  // createTextRange(): given on first focus or key to the fields whose onkeyup
  // calls autoComplete(), so that no other script of the page sees it.
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
    this.end = Math.max(this.start, this.end);
    return count | 0;
  };
  TextRange.prototype.moveEnd = function (unit, count) {
    this.end = clamp(this.end + (count | 0), 0, this.field.value.length);
    this.start = Math.min(this.start, this.end);
    return count | 0;
  };
  TextRange.prototype.collapse = function (toStart) {
    if (toStart === false) this.start = this.end; else this.end = this.start;
  };
  TextRange.prototype.select = function () {
    this.field.setSelectionRange(this.start, this.end);
  };
  function giveTextRange(event) {
    var field = event.target;
    if ((field.tagName === "INPUT" || field.tagName === "TEXTAREA") && !field.createTextRange &&
        /\bautoComplete\s*\(/.test(field.getAttribute("onkeyup") || "")) {
      field.createTextRange = function () { return new TextRange(field); };
    }
  }
  document.addEventListener("focusin", giveTextRange, true);
  document.addEventListener("keyup", giveTextRange, true);

  // createPopup(): a fixed iframe whose document's parent is this page.
  var popups = [];
  function Popup() {
    var frame = this.frame = document.createElement("iframe");
    frame.setAttribute("frameborder", "0");
    frame.setAttribute("scrolling", "no");
    frame.setAttribute("data-vantrel-popup", "");
    frame.style.cssText = "position:fixed;display:none;border:0;margin:0;padding:0;" +
      "z-index:2147483647;background:#fff";
    document.documentElement.appendChild(frame);
    var doc = this.document = frame.contentWindow.document, popup = this;
    doc.open();
    doc.write("<html><head><style>html,body{margin:0;padding:0;overflow:hidden;background:#fff}" +
      RULES + "</style></head><body></body></html>");
    doc.close();
    doc.addEventListener("keydown", closeOnEscape, true);
    this.isOpen = false;
    new window.MutationObserver(function () { if (popup.isOpen) popup.fit(); })
      .observe(doc.documentElement, { childList: true, subtree: true, characterData: true });
    popups.push(this);
  }
  // left and top count from the anchor's corner; from the viewport's for the
  // body (event.clientX/Y + 10 is "beside the pointer").
  Popup.prototype.show = function (left, top, width, height, anchor) {
    var x = +left || 0, y = +top || 0;
    if (anchor && anchor !== document.body && anchor !== document.documentElement &&
        anchor.getBoundingClientRect) {
      var rect = anchor.getBoundingClientRect();
      x += rect.left;
      y += rect.top;
    }
    this.box = { x: x, y: y, width: Math.max(0, +width || 0), height: Math.max(0, +height || 0) };
    this.frame.style.display = "block";
    this.isOpen = true;
    this.fit();
  };
  // The asked box, grown to the content when that is larger, inside the viewport.
  Popup.prototype.fit = function () {
    var box = this.box, style = this.frame.style, body = this.document.body;
    style.width = box.width + "px";
    style.height = box.height + "px";
    var width = Math.max(box.width, body.scrollWidth), height = Math.max(box.height, body.scrollHeight);
    var view = document.compatMode === "BackCompat" ? document.body : document.documentElement;
    style.width = width + "px";
    style.height = height + "px";
    style.left = Math.max(0, Math.min(box.x, view.clientWidth - width)) + "px";
    style.top = Math.max(0, Math.min(box.y, view.clientHeight - height)) + "px";
  };
  Popup.prototype.hide = function () {
    this.frame.style.display = "none";
    this.isOpen = false;
  };
  function hideAll() {
    for (var i = 0; i < popups.length; i++) if (popups[i].isOpen) popups[i].hide();
  }
  function closeOnEscape(event) {
    if (event.key === "Escape" || event.keyCode === 27) hideAll();
  }
  window.createPopup = function () { return new Popup(); };
  document.addEventListener("mousedown", hideAll, true);
  document.addEventListener("keydown", closeOnEscape, true);
})(window, document);
