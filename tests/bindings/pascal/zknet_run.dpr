// zknet_run.dpr -- the Pascal unit against the real library and the test servers: FTP upload and
// download of a file with Japanese names through the W forms (vsftpd), a listing walked through
// ZkItem, the progress callback's arguments, a mail through Postfix found again in dovecot's POP3
// listing (W and A records stepped through side by side), and refused logins giving code 6.
// Usage: zknet_run FOLDER TAG SIZE   (FOLDER holds the file to upload, of SIZE bytes; run-pascal.py
// prepares it and compares what comes back)
program zknet_run;

uses
  {$IFDEF UNIX}cwstring,{$ENDIF}
  SysUtils, zknet;

const
  Upload: UnicodeString = #$9001#$4FE1' '#$30C7#$30FC#$30BF'.bin';      // "soushin deeta.bin"
  Download: UnicodeString = #$53D7#$4FE1'.bin';                          // "jushin.bin"
  Remote: UnicodeString = #$65E5#$672C#$8A9E#$30D5#$30A1#$30A4#$30EB'.bin';  // "nihongo fairu.bin"
  Subject: UnicodeString = 'Pascal ' + #$4EF6#$540D#$FF08#$5168#$89D2#$FF09;  // "kenmei (zenkaku)"

var
  failures: Integer = 0;
  calls: Integer = 0;
  lastDone, lastTotal: Int64;

procedure Check(ok: Boolean; const what: string);
begin
  if ok then
    WriteLn('ok ', what)
  else
  begin
    WriteLn('FAILED ', what, ' (FTP code ', ZK_FtpQueryLastErrorCode, ', mail code ', ZK_MailQueryLastErrorCode, ')');
    Inc(failures);
  end;
end;

function OnProgress(done, total: Int64; user: Pointer): Int32; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};
begin
  Inc(PInteger(user)^);
  lastDone := done;
  lastTotal := total;
  Result := 0;
end;

procedure Ftp(const folder: UnicodeString; size: Int64);
var
  s: PFtpSession;
  list: TMStringList;
  dir: UnicodeString;
  i, found: Integer;
begin
  s := ZK_FtpConnectW('127.0.0.1', 'zkftp', 'zkftp-pass', 1, 2121, ZK_AF_INET);
  Check(s <> nil, 'FTP connect');
  if s = nil then
    Exit;
  dir := 'pascal-' + UnicodeString(ParamStr(2));
  Check(ZK_FtpCreateDirectoryW(s, PWideChar(dir)) = 1, 'MKD');
  Check(ZK_FtpSetDirectoryW(s, PWideChar(dir)) = 1, 'CWD');
  Check(ZK_FtpSetProgressCallback(s, OnProgress, @calls) = 1, 'progress callback set');
  Check(ZK_FtpPutFileW(s, PWideChar(folder + '/' + Upload), PWideChar(Remote), 1) = 1, 'upload under Japanese names');
  // The last report is the whole file: its Int64 arguments arrive whole.
  Check((calls > 0) and (lastDone = size) and (lastTotal = size),
        Format('progress: %d calls, last %d of %d', [calls, lastDone, lastTotal]));
  Check(ZK_FtpGetFileSize64W(s, PWideChar(Remote)) = size, 'SIZE through the W form');
  Check(ZK_FtpGetFileW(s, PWideChar(Remote), PWideChar(folder + '/' + Download), 1) = 1, 'download');
  found := 0;
  list.count := -1;
  Check(ZK_FtpListFileW(s, @list, 'NLST') = 1, 'NLST');
  for i := 0 to list.count - 1 do
    if UnicodeString(PWideChar(ZkItem(list.items, i))) = Remote then
      Inc(found);
  ZK_SocketDeleteMStringW(@list);
  Check((found = 1) and (list.items = nil), 'the listing names the file once, released');
  ZK_FtpDisconnect(s);

  s := ZK_FtpConnectW('127.0.0.1', 'zkftp', 'wrong-pass', 1, 2121, ZK_AF_INET);
  Check((s = nil) and (ZK_FtpQueryLastErrorCode = ZK_FTP_LOGIN_REFUSED), 'FTP login refused: code 6');
  Check(Copy(ZkFtpLastReply, 1, 4) = '530 ', 'the refusal as the last reply: ' + string(ZkFtpLastReply));
end;

procedure Mail(const tag: UnicodeString);
var
  smtp, pop3: PMailHandle;
  wide, narrow: TMailList;
  from: UnicodeString;
  i, tries, found: Integer;
begin
  from := '<' + tag + '@zknet-test>';
  smtp := ZK_MailConnectSmtpW('127.0.0.1', 2525, ZK_AF_INET);
  Check(smtp <> nil, 'SMTP connect to Postfix');
  if smtp = nil then
    Exit;
  Check(ZK_MailSendW(smtp, 'zknet-test', PWideChar(from), '<zkmail@zknet-test>', PWideChar(Subject),
                     #13#10'from the Pascal unit'#13#10, -1) = 1, 'send');
  ZK_MailDisconnectSmtp(smtp);

  // Postfix delivers on its own time: the listing is asked again until the message is in it.
  found := 0;
  for tries := 1 to 60 do
  begin
    pop3 := ZK_MailConnectPop3W('127.0.0.1', 'zkmail', 'zkmail-pass', 2110, ZK_AF_INET);
    if pop3 = nil then
      Break;
    wide.count := 0;
    narrow.count := 0;
    if (ZK_MailBoxW(pop3, @wide, 1) = 1) and (ZK_MailBoxA(pop3, @narrow, 0) = 1) then
    begin
      // Both arrays stepped through by their own record sizes must name the same messages.
      Check(narrow.count = wide.count, 'A and W listings count alike');
      for i := 0 to wide.count - 1 do
      begin
        if (i < narrow.count) and ((ZkMailEntryA(narrow, i)^.number <> ZkMailEntryW(wide, i)^.number) or
                                   (ZkMailEntryA(narrow, i)^.size <> ZkMailEntryW(wide, i)^.size)) then
          Check(False, Format('entry %d alike in A and W', [i]));
        if UnicodeString(PWideChar(@ZkMailEntryW(wide, i)^.from[0])) = from then
        begin
          Inc(found);
          Check(UnicodeString(PWideChar(@ZkMailEntryW(wide, i)^.subject[0])) = Subject, 'the subject read back');
        end;
      end;
    end;
    ZK_MailListFreeW(@wide);
    ZK_MailListFreeA(@narrow);
    ZK_MailDisconnectPop3(pop3);
    if found > 0 then
      Break;
    Sleep(1000);
  end;
  Check(found = 1, 'the message is in the POP3 listing');

  pop3 := ZK_MailConnectPop3W('127.0.0.1', 'zkmail', 'wrong-pass', 2110, ZK_AF_INET);
  Check((pop3 = nil) and (ZK_MailQueryLastErrorCode = ZK_MAIL_LOGIN_REFUSED), 'POP3 login refused: code 6');
  Check(Copy(ZkMailLastReply, 1, 4) = '-ERR', 'the refusal as the last reply: ' + string(ZkMailLastReply));
end;

begin
  if ParamCount <> 3 then
  begin
    WriteLn('usage: zknet_run FOLDER TAG SIZE');
    Halt(2);
  end;
  Check(ZK_SocketInit = 0, 'ZK_SocketInit');
  Ftp(UnicodeString(ParamStr(1)), StrToInt64(ParamStr(3)));
  Mail(UnicodeString(ParamStr(2)));
  ZK_SocketTerm;
  WriteLn(failures, ' failed');
  if failures > 0 then
    Halt(1);
end.
