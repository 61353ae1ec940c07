#pragma once

#include <duktape.h>

#include <string>
#include <string_view>

// What a caller of run_page adds to a page's script environment: more
// globals and members (the request, streaming, literal blocks), installed
// after the standard Server and Response objects.
namespace vantrel::host {

class PageHooks {
 public:
  virtual ~PageHooks() = default;

  // `page` is the page's output buffer, the one Response.Write appends to; a
  // hook may take what it holds (to send it) and clear it.
  virtual void install(duk_context* ctx, std::string* page) = 0;

  // Whether the page stopped itself on purpose (Response.End): the error
  // that unwound it is then no failure.
  virtual bool ended() const { return false; }
};

// The hooks of the page running on `ctx` (found through its heap), or
// nullptr.
PageHooks* hooks_of(duk_context* ctx);

// Appends `text` to the output of the page running on `ctx`, within the
// page's memory limit; false, with the refusal recorded, when it would pass
// the limit (the caller then raises out of memory). After Response.End it
// writes nothing.
bool append_to_page(duk_context* ctx, std::string_view text);

}  // namespace vantrel::host
