Attribute VB_Name = "zknetExample"
' example.bas -- zknet from VBA or VB6: an FTP download and a mail sent over SMTP, each reporting the
' library's error code and the server's last reply when it fails; the download reports its progress
' to OnProgress and can be cancelled. Import zknet.bas too, set the host names, user and addresses
' below, and run ExampleFtpDownload or ExampleMailSend (Alt+F8 in Excel).
Option Explicit

' The folder that the release archive zknet-1.0.0-windows.zip makes when it is unpacked into C:\
' (it holds x86\zknet.dll and x64\zknet.dll); unpacked elsewhere, name that folder here.
Private Const ReleaseFolder As String = "C:\zknet-1.0.0-windows"

Private Const FtpHost As String = "ftp.example.com"
Private Const FtpUser As String = "anonymous"
Private Const FtpPassword As String = "me@example.com"
Private Const FtpFile As String = "readme.txt"

Private Const SmtpHost As String = "mail.example.com"
Private Const MailFrom As String = "<me@example.com>"
Private Const MailTo As String = "<you@example.com>"

#If VBA7 Then
Private Declare PtrSafe Function LoadLibraryW Lib "kernel32" (ByVal path As LongPtr) As LongPtr
#Else
Private Declare Function LoadLibraryW Lib "kernel32" (ByVal path As Long) As Long
#End If

' Loads the zknet.dll of this Office's width once. Windows then finds it by name for every Declare,
' wherever the document lies; without this, zknet.dll must be on the PATH or in the current folder.
Private Function LoadZknet() As Boolean
    Dim arch As String, loaded As Boolean
#If Win64 Then
    arch = "x64"
#Else
    arch = "x86"
#End If
    loaded = LoadLibraryW(StrPtr(ReleaseFolder & "\" & arch & "\zknet.dll")) <> 0
    If Not loaded Then MsgBox "zknet.dll not found in " & ReleaseFolder & "\" & arch
    LoadZknet = loaded
End Function

' Set to True (by a Cancel button's macro, say) to cancel the download at its next report.
Public CancelRequested As Boolean

' The download's progress callback: the library calls it on this macro's own thread, about ten
' times a second, with the bytes so far and the file's size (-1 when unknown). Returning 1 cancels.
' AddressOf needs a Function of a standard module. 64-bit Office passes the counts as LongLong;
' 32-bit Office and VB6 as Currency, which holds the count divided by 10000.
#If Win64 Then
Public Function OnProgress(ByVal done As LongLong, ByVal total As LongLong, ByVal user As LongPtr) As Long
#ElseIf VBA7 Then
Public Function OnProgress(ByVal done As Currency, ByVal total As Currency, ByVal user As LongPtr) As Long
#Else
Public Function OnProgress(ByVal done As Currency, ByVal total As Currency, ByVal user As Long) As Long
#End If
    If total > 0 Then
        Debug.Print "downloaded " & Format$(done / total, "0%")
    End If
    DoEvents   ' lets a Cancel button's macro run
    If CancelRequested Then OnProgress = 1
End Function

Public Sub ExampleFtpDownload()
#If VBA7 Then
    Dim session As LongPtr
#Else
    Dim session As Long
#End If
    Dim target As String

    If Not LoadZknet() Then Exit Sub
    If ZK_SocketInit() <> 0 Then
        MsgBox "The socket service did not start."
        Exit Sub
    End If

    ' Passive mode (1), port 21, IPv4; ZK_AF_INET6 for IPv6.
    session = ZK_FtpConnectA(FtpHost, FtpUser, FtpPassword, 1, 21, ZK_AF_INET)
    If session = 0 Then
        ReportFtp "Connecting to " & FtpHost
    Else
        target = Environ$("TEMP") & "\" & FtpFile
        CancelRequested = False
        ZK_FtpSetProgressCallback session, AddressOf OnProgress, 0
        ' Binary (1): the file arrives byte for byte, with the server's time as its date.
        If ZK_FtpGetFileA(session, FtpFile, target, 1) = 1 Then
            MsgBox FtpFile & " downloaded to " & target & " (" & FileLen(target) & " bytes)."
        ElseIf ZK_FtpQueryLastErrorCode() = ZK_FTP_CANCELLED Then
            MsgBox "The download was cancelled; the session goes on."
        Else
            ReportFtp "Downloading " & FtpFile
        End If
        ZK_FtpDisconnect session
    End If
    ZK_SocketTerm
End Sub

Private Sub ReportFtp(ByVal what As String)
    Dim reply As String
    reply = String$(1024, vbNullChar)
    ZK_FtpQueryLastResponseMessageA reply, Len(reply)
    MsgBox what & " failed: FTP error " & ZK_FtpQueryLastErrorCode() & vbCrLf & _
           "The server said: " & ZkTrim(reply)
End Sub

Public Sub ExampleMailSend()
#If VBA7 Then
    Dim mail As LongPtr
#Else
    Dim mail As Long
#End If
    Dim body As String

    If Not LoadZknet() Then Exit Sub
    If ZK_SocketInit() <> 0 Then
        MsgBox "The socket service did not start."
        Exit Sub
    End If

    mail = ZK_MailConnectSmtpA(SmtpHost, 25, ZK_AF_INET)
    If mail = 0 Then
        ReportMail "Connecting to " & SmtpHost
    Else
        ' The body starts with a line break: it ends the header block. The A texts are converted from
        ' the ANSI code page; ZK_MailSendW takes StrPtr(...) of each text for any Unicode text.
        body = vbCrLf & "The monthly figures are in the shared folder." & vbCrLf & "Regards" & vbCrLf
        If ZK_MailSendA(mail, Environ$("COMPUTERNAME"), MailFrom, MailTo, "Monthly figures", body, 72) = 1 Then
            MsgBox "Mail sent to " & MailTo & "."
        Else
            ReportMail "Sending the mail"
        End If
        ZK_MailDisconnectSmtp mail
    End If
    ZK_SocketTerm
End Sub

Private Sub ReportMail(ByVal what As String)
    Dim reply As String
    reply = String$(512, vbNullChar)
    ZK_MailQueryLastResponseMessageA reply, Len(reply)
    MsgBox what & " failed: mail error " & ZK_MailQueryLastErrorCode() & vbCrLf & _
           "The server said: " & ZkTrim(reply)
End Sub
