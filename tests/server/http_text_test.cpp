// The texts of HTTP requests: heads, chunked bodies, forms, cookies, dates.
#include <gtest/gtest.h>

#include "server/form_data.h"
#include "server/http_message.h"
#include "server/static_files.h"

namespace vantrel::server {
namespace {

TEST(HttpText, RequestHeads) {
  struct Case {
    std::string bytes;
    Parse parse;
    int status;
    std::string path, query;
    bool keep_alive;
  } cases[] = {
      {"GET /a/b?x=1&y#frag HTTP/1.1\r\nHost: h\r\n\r\n", Parse::Complete, 0, "/a/b", "x=1&y",
       true},
      {"\r\nGET / HTTP/1.0\n\n", Parse::Complete, 0, "/", "", false},
      {"GET / HTTP/1.0\r\nConnection: Keep-Alive\r\n\r\n", Parse::Complete, 0, "/", "", true},
      {"GET / HTTP/1.1\r\nHost: h\r\nConnection: TE, close\r\n\r\n", Parse::Complete, 0, "/", "",
       false},
      {"GET http://example.com/p?q HTTP/1.1\r\nHost: h\r\n\r\n", Parse::Complete, 0, "/p", "q",
       true},
      {"GET / HTTP/1.1\r\nHost: h\r\n", Parse::Incomplete, 0, "", "", false},
      {"GET  / HTTP/1.1\r\nHost: h\r\n\r\n", Parse::Malformed, 400, "", "", false},
      {"GET / HTTP/1.1 x\r\nHost: h\r\n\r\n", Parse::Malformed, 400, "", "", false},
      {"G(T / HTTP/1.1\r\nHost: h\r\n\r\n", Parse::Malformed, 400, "", "", false},
      {"GET a HTTP/1.1\r\nHost: h\r\n\r\n", Parse::Malformed, 400, "", "", false},
      {"GET / HTTP/1.1\r\nHost: h\rX: y\r\n\r\n", Parse::Malformed, 400, "", "", false},
      {"GET / HTTP/1.1\r\nHost: h\r\nX : y\r\n\r\n", Parse::Malformed, 400, "", "", false},
      {"GET / HTTP/1.1\r\nHost: h\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\n",
       Parse::Malformed, 400, "", "", false},
      {"GET / HTTP/1.1\r\nHost: h\r\nContent-Length: -1\r\n\r\n", Parse::Malformed, 400, "", "",
       false},
      {"GET / HTTP/1.1\r\nHost: h\r\nTransfer-Encoding: gzip\r\n\r\n", Parse::Unsupported, 501, "",
       "", false},
      {"GET / HTTP/3\r\nHost: h\r\n\r\n", Parse::Unsupported, 505, "", "", false},
      {"GET / HTTP/1.1\r\nHost: h\r\nX: " + std::string(17000, 'x'), Parse::TooLarge, 431, "", "",
       false},
  };
  for (const Case& c : cases) {
    HttpRequest request;
    std::size_t head_size = 0;
    int status = -1;
    EXPECT_EQ(parse_head(c.bytes, ParseLimits{}, request, head_size, status), c.parse) << c.bytes;
    if (c.parse != Parse::Complete) {
      if (c.parse != Parse::Incomplete) {
        EXPECT_EQ(status, c.status) << c.bytes;
      }
      continue;
    }
    EXPECT_EQ(head_size, c.bytes.size()) << c.bytes;
    EXPECT_EQ(request.path, c.path) << c.bytes;
    EXPECT_EQ(request.query, c.query) << c.bytes;
    EXPECT_EQ(request.keep_alive(), c.keep_alive) << c.bytes;
  }
}

TEST(HttpText, ChunkedBodies) {
  struct Case {
    std::string bytes;
    Parse parse;
    std::string body;
  } cases[] = {
      {"3\r\nabc\r\nA;ext=1\r\n0123456789\r\n0\r\n\r\n", Parse::Complete, "abc0123456789"},
      {"2\nab\n0\nTrailer: x\n\n", Parse::Complete, "ab"},
      {"3\r\nab", Parse::Incomplete, ""},
      {"3\r\nabc\r\n0\r\n", Parse::Incomplete, ""},
      {"3\r\nabcd\r\n0\r\n\r\n", Parse::Malformed, ""},
      {"x\r\nabc\r\n0\r\n\r\n", Parse::Malformed, ""},
      {"ffffffffffffffffff\r\n", Parse::Malformed, ""},
      {"11\r\n" + std::string(17, 'a') + "\r\n0\r\n\r\n", Parse::TooLarge, ""},
  };
  for (const Case& c : cases) {
    std::string body;
    std::size_t used = 0;
    EXPECT_EQ(parse_chunked(c.bytes, 16, body, used), c.parse) << c.bytes;
    if (c.parse == Parse::Complete) {
      EXPECT_EQ(body, c.body);
      EXPECT_EQ(used, c.bytes.size());
      // Arriving a byte at a time, each call resuming where the last stopped.
      std::string resumed;
      std::size_t at = 0;
      for (std::size_t size = 0; size < c.bytes.size(); ++size) {
        ASSERT_EQ(parse_chunked(c.bytes.substr(0, size), 16, resumed, at), Parse::Incomplete);
      }
      EXPECT_EQ(parse_chunked(c.bytes, 16, resumed, at), Parse::Complete) << c.bytes;
      EXPECT_EQ(resumed, c.body);
      EXPECT_EQ(at, c.bytes.size());
    }
  }
}

TEST(HttpText, FormsAndCookies) {
  const NameValues query = parse_url_encoded("a=1&&b=%41+%42&a=2&bad=%zz+1&=v&flag");
  EXPECT_EQ(find_value(query, "A"), "1, 2");
  EXPECT_EQ(find_value(query, "b"), "A B");
  EXPECT_EQ(find_value(query, "bad"), "%zz 1");
  EXPECT_EQ(find_value(query, "flag"), "");
  EXPECT_EQ(find_value(query, "none"), std::nullopt);

  const NameValues cookies = parse_cookies(" a=1;b=\"quoted\"; c = x%20y ;novalue; d=");
  EXPECT_EQ(find_value(cookies, "b"), "quoted");
  EXPECT_EQ(find_value(cookies, "c"), "x y");
  EXPECT_EQ(find_value(cookies, "d"), "");
  EXPECT_EQ(find_value(cookies, "novalue"), std::nullopt);

  const std::string type = "multipart/form-data; charset=utf-8; boundary=\"b;1\"";
  NameValues form;
  ASSERT_TRUE(
      parse_multipart("preamble\r\n--b;1\r\nContent-Disposition: form-data; "
                      "name=\"a\\\"b\"\r\n\r\n--b;\r\n--b;1\r\ncontent-disposition: "
                      "form-data; filename=\"f.txt\"; name=file\r\n\r\ndata\r\n--b;1--",
                      type, form));
  EXPECT_EQ(find_value(form, "a\"b"), "--b;");
  EXPECT_EQ(find_value(form, "file"), "f.txt");
  for (const std::string broken : {"--b;1\r\nContent-Disposition: form-data; name=a\r\n\r\nno end",
                                   "--b;1\r\nno blank line", "--other\r\n\r\n\r\n--other--"}) {
    NameValues ignored;
    EXPECT_FALSE(parse_multipart(broken, type, ignored)) << broken;
  }
  EXPECT_FALSE(parse_multipart("--x--", "multipart/form-data", form));
}

TEST(HttpText, HttpDates) {
  EXPECT_EQ(http_date(784111777), "Sun, 06 Nov 1994 08:49:37 GMT");
  for (const char* text : {"Sun, 06 Nov 1994 08:49:37 GMT", "Sunday, 06-Nov-94 08:49:37 GMT",
                           "Sun Nov  6 08:49:37 1994"}) {
    EXPECT_EQ(parse_http_date(text), 784111777) << text;
  }
  for (const char* text : {"", "yesterday", "Sun, 06 Foo 1994 08:49:37 GMT",
                           "Sun, 32 Nov 1994 08:49:37 GMT", "Sun, 06 Nov 1994 25:49:37 GMT"}) {
    EXPECT_EQ(parse_http_date(text), std::nullopt) << text;
  }
}

}  // namespace
}  // namespace vantrel::server
