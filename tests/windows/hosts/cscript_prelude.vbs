' The page globals under cscript: Server.CreateObject creates the object
' through the platform, Response.Write appends to the page file named by the
' first argument (UTF-16, so every character arrives as it is).
Class PageServer
  Public Function CreateObject(progId)
    Set CreateObject = WScript.CreateObject(progId)
  End Function
End Class
Class PageResponse
  Private pageFile
  Public Sub Open(path)
    Set pageFile = WScript.CreateObject("Scripting.FileSystemObject").CreateTextFile(path, True, True)
  End Sub
  Public Sub Write(value)
    pageFile.Write "" & value
  End Sub
  Public Sub Close()
    pageFile.Close
  End Sub
End Class
Dim Server, Response
Set Server = New PageServer
Set Response = New PageResponse
Response.Open WScript.Arguments(0)

' Written after every statement of a page: the error the statement raised,
' if any, as number, source and description.
Sub Report()
  If Err.Number <> 0 Then Response.Write Err.Number & " " & Err.Source & ": " & Err.Description & vbCrLf
  Err.Clear
End Sub
On Error Resume Next
