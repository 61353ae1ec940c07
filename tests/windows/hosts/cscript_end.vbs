Report
Response.Close
' cscript ends silently on an uncaught error: the harness waits for this line.
WScript.Echo "END"
