// example.dpr -- zknet from Delphi or Free Pascal, through the W (UTF-16) forms: uploads a file over
// FTP and downloads it back, or sends a mail over SMTP and lists a POP3 mailbox.
//
//   example ftp HOST PORT USER PASSWORD LOCAL-FILE REMOTE-NAME
//       uploads LOCAL-FILE as REMOTE-NAME (passive, binary), downloads it again as LOCAL-FILE.back
//   example mail HOST SMTP-PORT POP3-PORT USER PASSWORD FROM TO
//       sends a short message from FROM to TO, then lists USER's mailbox with senders and subjects
//
// Free Pascal on Linux: fpc -Mdelphi -Fu<folder of zknet.pas> -Fl<folder of libzknet.so> example.dpr
// (run it with the library's folder in LD_LIBRARY_PATH). Delphi: add zknet.pas to a console project;
// zknet.dll of the program's width goes beside the .exe.
program example;

{$IFDEF MSWINDOWS}{$APPTYPE CONSOLE}{$ENDIF}

uses
  {$IFDEF FPC}{$IFDEF UNIX}cwstring,{$ENDIF}{$ENDIF}
  SysUtils, zknet;

type
  // A failed call: the family's last error code and the server's last reply.
  EZknet = class(Exception)
  public
    Code: UInt32;
  end;

// Argument i as UTF-16. Free Pascal's ParamStr is narrow: UTF-8 on Linux, whatever the locale says.
function Arg(i: Integer): UnicodeString;
begin
{$IFDEF FPC}{$IFDEF UNIX}
  Result := UTF8Decode(ParamStr(i));
{$ELSE}
  Result := UnicodeString(ParamStr(i));
{$ENDIF}{$ELSE}
  Result := ParamStr(i);
{$ENDIF}
end;

procedure Failed(const what: string; code: UInt32; const reply: UnicodeString);
var
  e: EZknet;
begin
  e := EZknet.Create(what + ' failed: code ' + IntToStr(code) + ', ' + string(reply));
  e.Code := code;
  raise e;
end;

procedure FtpFailed(const what: string);
begin
  Failed(what, ZK_FtpQueryLastErrorCode, ZkFtpLastReply);
end;

procedure MailFailed(const what: string);
begin
  Failed(what, ZK_MailQueryLastErrorCode, ZkMailLastReply);
end;

procedure RunFtp;
var
  session: PFtpSession;
  local, back, remote: UnicodeString;
  list: TMStringList;
  i: Integer;
begin
  local := Arg(6);
  remote := Arg(7);
  back := local + '.back';
  session := ZK_FtpConnectW(PWideChar(Arg(2)), PWideChar(Arg(4)), PWideChar(Arg(5)), 1, StrToInt(ParamStr(3)),
                            ZK_AF_INET);
  if session = nil then
    FtpFailed('connect');
  try
    if ZK_FtpPutFileW(session, PWideChar(local), PWideChar(remote), 1) = 0 then
      FtpFailed('upload');
    WriteLn('uploaded: ', ZK_FtpGetFileSize64W(session, PWideChar(remote)), ' bytes on the server');
    if ZK_FtpGetFileW(session, PWideChar(remote), PWideChar(back), 1) = 0 then
      FtpFailed('download');
    WriteLn('downloaded to ', back);
    // A listing's items are texts the library made: read them, then release the list.
    if ZK_FtpListFileW(session, @list, 'NLST') = 0 then
      FtpFailed('NLST');
    try
      for i := 0 to list.count - 1 do
        WriteLn('  ', UnicodeString(PWideChar(ZkItem(list.items, i))));
    finally
      ZK_SocketDeleteMStringW(@list);
    end;
  finally
    ZK_FtpDisconnect(session);
  end;
end;

procedure RunMail;
const
  // "zknet example" and Japanese for "test" (tesuto).
  Subject: UnicodeString = 'zknet example ' + #$30C6#$30B9#$30C8;
var
  smtp, pop3: PMailHandle;
  list: TMailList;
  entry: PMailListEntryW;
  i: Integer;
begin
  smtp := ZK_MailConnectSmtpW(PWideChar(Arg(2)), StrToInt(ParamStr(3)), ZK_AF_INET);
  if smtp = nil then
    MailFailed('SMTP connect');
  try
    if ZK_MailSendW(smtp, 'localhost', PWideChar(Arg(7)), PWideChar(Arg(8)), PWideChar(Subject),
                    #13#10'Sent from Delphi / Free Pascal.'#13#10, -1) = 0 then
      MailFailed('send');
    WriteLn('sent: ', Subject);
  finally
    ZK_MailDisconnectSmtp(smtp);
  end;

  pop3 := ZK_MailConnectPop3W(PWideChar(Arg(2)), PWideChar(Arg(5)), PWideChar(Arg(6)), StrToInt(ParamStr(4)),
                              ZK_AF_INET);
  if pop3 = nil then
    MailFailed('POP3 connect');
  try
    // fetch 1: every message is read for its From and Subject. The list is released in every case.
    list.count := 0;
    list.entries := nil;
    try
      if ZK_MailBoxW(pop3, @list, 1) = 0 then
        MailFailed('LIST');
      WriteLn(list.count, ' message(s)');
      for i := 0 to list.count - 1 do
      begin
        entry := ZkMailEntryW(list, i);
        WriteLn('  ', entry^.number, '  ', entry^.size, ' bytes  ', UnicodeString(PWideChar(@entry^.from[0])),
                '  ', UnicodeString(PWideChar(@entry^.subject[0])));
      end;
    finally
      ZK_MailListFreeW(@list);
    end;
  finally
    ZK_MailDisconnectPop3(pop3);
  end;
end;

begin
  // The socket service first (WSAStartup on Windows), for every family.
  if ZK_SocketInit <> 0 then
  begin
    WriteLn('ZK_SocketInit failed');
    Halt(1);
  end;
  try
    if (ParamCount = 7) and (ParamStr(1) = 'ftp') then
      RunFtp
    else if (ParamCount = 8) and (ParamStr(1) = 'mail') then
      RunMail
    else
    begin
      WriteLn('usage: example ftp HOST PORT USER PASSWORD LOCAL-FILE REMOTE-NAME');
      WriteLn('       example mail HOST SMTP-PORT POP3-PORT USER PASSWORD FROM TO');
      ExitCode := 2;
    end;
  except
    on e: Exception do
    begin
      WriteLn(e.Message);
      ExitCode := 1;
    end;
  end;
  ZK_SocketTerm;
end.
