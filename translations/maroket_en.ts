<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="sv">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>Om Maroket...</source>
        <translation>About Maroket</translation>
    </message>
    <message>
        <source>Frågor och synpunkter till:</source>
        <translation>Questions and comments to:</translation>
    </message>
    <message>
        <source>Medverkande</source>
        <translation>Credits</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CComposeDlg</name>
    <message>
        <source>Nytt brev</source>
        <translation>New message</translation>
    </message>
    <message>
        <source>Från:</source>
        <translation>From:</translation>
    </message>
    <message>
        <source>Till:</source>
        <translation>To:</translation>
    </message>
    <message>
        <source>Ärende:</source>
        <translation>Subject:</translation>
    </message>
    <message>
        <source>Brevtext</source>
        <translation>Message text</translation>
    </message>
    <message>
        <source>Från</source>
        <translation>From</translation>
    </message>
    <message>
        <source>Ärende</source>
        <translation>Subject</translation>
    </message>
    <message>
        <source>Till</source>
        <translation>To</translation>
    </message>
    <message>
        <source>Direkt</source>
        <translation>Direct</translation>
    </message>
    <message>
        <source>Skicka</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>Avbryt</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CContentDlg</name>
    <message>
        <source>Innehåll</source>
        <translation>Contents</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CForwardDlg</name>
    <message>
        <source>Forward</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>Adress:</source>
        <translation>Address:</translation>
    </message>
    <message>
        <source>Adress</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Radera originalbrev</source>
        <translation>Delete the originals</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Avbryt</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CIntegerRule</name>
    <message>
        <source>Please enter an integer.</source>
        <translation>Please enter an integer.</translation>
    </message>
    <message>
        <source>Please enter an integer between %1 and %2.</source>
        <translation>Please enter an integer between %1 and %2.</translation>
    </message>
</context>
<context>
    <name>CMainWindowLayout</name>
    <message>
        <source>&amp;Arkiv</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>A&amp;vsluta</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>&amp;Redigera</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>&amp;Markera</source>
        <translation>&amp;Mark</translation>
    </message>
    <message>
        <source>Brevnummer...</source>
        <translation>Message number...</translation>
    </message>
    <message>
        <source>Storlek...</source>
        <translation>Size...</translation>
    </message>
    <message>
        <source>Från...</source>
        <translation>Sender...</translation>
    </message>
    <message>
        <source>Ärenderad...</source>
        <translation>Subject...</translation>
    </message>
    <message>
        <source>&amp;Inställningar...</source>
        <translation>&amp;Settings...</translation>
    </message>
    <message>
        <source>&amp;Meddelande</source>
        <translation>&amp;Message</translation>
    </message>
    <message>
        <source>Skriv &amp;nytt...</source>
        <translation>&amp;New...</translation>
    </message>
    <message>
        <source>&amp;Svara...</source>
        <translation>&amp;Reply...</translation>
    </message>
    <message>
        <source>&amp;Granska...</source>
        <translation>&amp;Preview...</translation>
    </message>
    <message>
        <source>Ra&amp;dera...</source>
        <translation>&amp;Delete...</translation>
    </message>
    <message>
        <source>&amp;Forward...</source>
        <translation>&amp;Forward...</translation>
    </message>
    <message>
        <source>&amp;Hjälp</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>&amp;Om Maroket...</source>
        <translation>&amp;About Maroket...</translation>
    </message>
    <message>
        <source>Menyrad</source>
        <translation>Menu bar</translation>
    </message>
    <message>
        <source>Verktygsfält</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>Anslut</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Granska</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>Radera</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Skriv</source>
        <translation>New</translation>
    </message>
    <message>
        <source>Svara</source>
        <translation>Reply</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>Markera</source>
        <translation>Mark</translation>
    </message>
    <message>
        <source>Allt</source>
        <translation>All</translation>
    </message>
    <message>
        <source>Inget</source>
        <translation>None</translation>
    </message>
    <message>
        <source>Inv.</source>
        <translation>Invert</translation>
    </message>
    <message>
        <source>Inställn.</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Om</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Inloggningsuppgifter</source>
        <translation>Login</translation>
    </message>
    <message>
        <source>Mailserver</source>
        <translation>Mail server</translation>
    </message>
    <message>
        <source>Konto-ID</source>
        <translation>Account</translation>
    </message>
    <message>
        <source>Lösenord</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Nollställ</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Återställ</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>Visa lösenord</source>
        <translation>Show password</translation>
    </message>
    <message>
        <source>Kontoinnehåll</source>
        <translation>Mailbox contents</translation>
    </message>
    <message>
        <source>Från:</source>
        <translation>From:</translation>
    </message>
    <message>
        <source>Till/Domän:</source>
        <translation>To/Domain:</translation>
    </message>
    <message>
        <source>Testa</source>
        <translation>Test</translation>
    </message>
    <message>
        <source>Text:</source>
        <translation>Text:</translation>
    </message>
    <message>
        <source>Skicka</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>Meddelande</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>Radera...</source>
        <translation>Delete...</translation>
    </message>
    <message>
        <source>Forward...</source>
        <translation>Forward...</translation>
    </message>
    <message>
        <source>Granska...</source>
        <translation>Preview...</translation>
    </message>
    <message>
        <source>Svara...</source>
        <translation>Reply...</translation>
    </message>
    <message>
        <source>Markera nummer...</source>
        <translation>Mark by number...</translation>
    </message>
    <message>
        <source>Markera storlek...</source>
        <translation>Mark by size...</translation>
    </message>
    <message>
        <source>Markera från...</source>
        <translation>Mark by sender...</translation>
    </message>
    <message>
        <source>Markera ärende...</source>
        <translation>Mark by subject...</translation>
    </message>
</context>
<context>
    <name>CMarkDlgBase</name>
    <message>
        <source>Markera</source>
        <translation>Mark</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Avbryt</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CMarkNumberDlg</name>
    <message>
        <source>Markera alla brev från</source>
        <translation>Mark all messages from</translation>
    </message>
    <message>
        <source>till</source>
        <translation>to</translation>
    </message>
</context>
<context>
    <name>CMarkSizeDlg</name>
    <message>
        <source>Markera alla brev större än</source>
        <translation>Mark all messages larger than</translation>
    </message>
    <message>
        <source>Enhet</source>
        <translation>Unit</translation>
    </message>
</context>
<context>
    <name>CMarkTextDlg</name>
    <message>
        <source>Markera alla brev från:</source>
        <translation>Mark all messages from:</translation>
    </message>
    <message>
        <source>Markera alla brev med subject:</source>
        <translation>Mark all messages with subject:</translation>
    </message>
</context>
<context>
    <name>CMessageListView</name>
    <message>
        <source>Kontoinnehåll</source>
        <translation>Mailbox contents</translation>
    </message>
</context>
<context>
    <name>CProgressDlg</name>
    <message>
        <source>Arbetar...</source>
        <translation>Working...</translation>
    </message>
    <message>
        <source>Avbryt</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CSettingsDlg</name>
    <message>
        <source>Inställningar</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>DNS:</source>
        <translation>DNS server:</translation>
    </message>
    <message>
        <source>Snabbinloggning vid fler än</source>
        <translation>Quick login with more than</translation>
    </message>
    <message>
        <source>brev.</source>
        <translation>messages.</translation>
    </message>
    <message>
        <source>Vid granskning, visa</source>
        <translation>When previewing, show</translation>
    </message>
    <message>
        <source>rader.</source>
        <translation>lines.</translation>
    </message>
    <message>
        <source>Koppla från efter</source>
        <translation>Disconnect after</translation>
    </message>
    <message>
        <source>minuters inaktivitet.</source>
        <translation>minutes of inactivity.</translation>
    </message>
    <message>
        <source>Pop3-port:</source>
        <translation>POP3 port:</translation>
    </message>
    <message>
        <source>Smtp-port:</source>
        <translation>SMTP port:</translation>
    </message>
    <message>
        <source>Identifiering för HELO:</source>
        <translation>HELO identity:</translation>
    </message>
    <message>
        <source>SMTP-server:</source>
        <translation>SMTP server:</translation>
    </message>
    <message>
        <source>E-postadress:</source>
        <translation>Email address:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Avbryt</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CSignInWaitDlg</name>
    <message>
        <source>Logga in</source>
        <translation>Sign in</translation>
    </message>
    <message>
        <source>Avbryt</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CStartOptions</name>
    <message>
        <source>Användning: maroket [FLAGGOR] [Qt-flaggor]
Hanterar en POP3-brevlåda på servern utan att hämta hem den.

  --settings FIL     läs och skriv inställningarna i FIL i stället för dina egna
  --server NAMN      fyll i fältet &quot;Mailserver&quot;
  --account ID       fyll i fältet &quot;Konto-ID&quot;
  --password TEXT    fyll i fältet &quot;Lösenord&quot; (andra användare kan se det i
                     processlistan: bara för test- och demobrevlådor)
  --language SPRÅK   tala sv (svenska) eller en (engelska) i stället för
                     skrivbordets språk
  --exit-when-shown  avsluta så snart fönstret syns på skärmen
  --version          skriv ut versionen och avsluta
  -h, --help         skriv ut den här hjälpen och avsluta

En flagga med värde kan också skrivas --namn=värde. Qt:s egna flaggor, till
exempel -platform NAMN, går vidare till Qt. Se maroket(1).
</source>
        <translation>Usage: maroket [OPTIONS] [Qt options]
Manages a POP3 mailbox on the server without downloading it.

  --settings FILE    read and write the settings in FILE instead of your own
  --server NAME      fill in the field &quot;Mail server&quot;
  --account ID       fill in the field &quot;Account&quot;
  --password TEXT    fill in the field &quot;Password&quot; (other users can see it in
                     the process list: only for test and demo mailboxes)
  --language LANG    speak sv (Swedish) or en (English) instead of the
                     desktop&apos;s language
  --exit-when-shown  exit as soon as the window is on the screen
  --version          print the version and exit
  -h, --help         print this help and exit

An option with a value may also be written --name=value. Qt&apos;s own options,
for instance -platform NAME, pass on to Qt. See maroket(1).
</translation>
    </message>
</context>
<context>
    <name>CStatusLine</name>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
</context>
<context>
    <name>CStringTable</name>
    <message>
        <source>Winsock kunde inte startas.</source>
        <translation>The network layer could not be started.</translation>
    </message>
    <message>
        <source>Från</source>
        <translation>From</translation>
    </message>
    <message>
        <source>Ärende</source>
        <translation>Subject</translation>
    </message>
    <message>
        <source>Datum</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Storlek</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>Ansluter till</source>
        <translation>Connecting to</translation>
    </message>
    <message>
        <source>Kontot är upptaget. Försöker igen...</source>
        <translation>The account is busy. Trying again...</translation>
    </message>
    <message>
        <source>Kontot är fortfarande upptaget. Tryck &apos;Nollställ&apos; för att avbryta.</source>
        <translation>The account is still busy. Press &apos;Clear&apos; to stop trying.</translation>
    </message>
    <message>
        <source>Kontot har varit upptaget i mer än fem minuter. Försöken avbrutna.</source>
        <translation>The account has been busy for more than five minutes. Stopped trying.</translation>
    </message>
    <message>
        <source>Hämtar meddelandeinformation...</source>
        <translation>Fetching message information...</translation>
    </message>
    <message>
        <source>Klar. Kontot har</source>
        <translation>Done. The account has</translation>
    </message>
    <message numerus="yes">
        <source>brev på totalt</source>
        <translation>
            <numerusform>message totalling</numerusform>
            <numerusform>messages totalling</numerusform>
        </translation>
    </message>
    <message>
        <source>Hämtar information om brev</source>
        <translation>Fetching information on message</translation>
    </message>
    <message>
        <source>Kopplar från...</source>
        <translation>Disconnecting...</translation>
    </message>
    <message>
        <source>Du måste markera ett brev innan du trycker Granska.</source>
        <translation>Select a message before you press Preview.</translation>
    </message>
    <message>
        <source>Du måste markera minst ett brev innan du trycker Radera.</source>
        <translation>Select at least one message before you press Delete.</translation>
    </message>
    <message>
        <source>Är du säker på att du vill radera</source>
        <translation>Are you sure you want to delete</translation>
    </message>
    <message numerus="yes">
        <source>brev?</source>
        <translation>
            <numerusform>message?</numerusform>
            <numerusform>messages?</numerusform>
        </translation>
    </message>
    <message>
        <source>Raderar brev</source>
        <translation>Deleting message</translation>
    </message>
    <message>
        <source>Du måste markera minst ett brev innan du trycker Forward.</source>
        <translation>Select at least one message before you press Forward.</translation>
    </message>
    <message>
        <source>Hämtar brev</source>
        <translation>Fetching message</translation>
    </message>
    <message>
        <source>Skickar brev...</source>
        <translation>Sending the message...</translation>
    </message>
    <message>
        <source>Du måste markera ett brev innan du trycker Svara.</source>
        <translation>Select a message before you press Reply.</translation>
    </message>
    <message numerus="yes">
        <source>brev markerade.</source>
        <translation>
            <numerusform>message marked.</numerusform>
            <numerusform>messages marked.</numerusform>
        </translation>
    </message>
    <message>
        <source>Överstebetatestare: Maroket-utvecklarna</source>
        <translation>Chief beta tester: the Maroket developers</translation>
    </message>
    <message>
        <source>Grafik: Maroket-utvecklarna. Betatestare: Maroket-utvecklarna och programmets första användare.</source>
        <translation>Graphics: the Maroket developers. Beta testers: the Maroket developers and the program&apos;s first users.</translation>
    </message>
    <message>
        <source>Kollar om adressen är giltig som mottagare...</source>
        <translation>Checking whether the address is accepted as a recipient...</translation>
    </message>
    <message>
        <source>Adressen är giltig.</source>
        <translation>The address is valid.</translation>
    </message>
    <message>
        <source>Kan inte ansluta.</source>
        <translation>Cannot connect.</translation>
    </message>
    <message>
        <source>Ett fel uppstod vid anslutning till server.</source>
        <translation>An error occurred while connecting to the server.</translation>
    </message>
    <message>
        <source>QUIT:</source>
        <translation>QUIT:</translation>
    </message>
    <message>
        <source>DELE:</source>
        <translation>DELE:</translation>
    </message>
    <message>
        <source>RSET:</source>
        <translation>RSET:</translation>
    </message>
    <message>
        <source>STAT:</source>
        <translation>STAT:</translation>
    </message>
    <message>
        <source>NOOP:</source>
        <translation>NOOP:</translation>
    </message>
    <message>
        <source>LIST:</source>
        <translation>LIST:</translation>
    </message>
    <message>
        <source>RETR:</source>
        <translation>RETR:</translation>
    </message>
    <message>
        <source>TOP:</source>
        <translation>TOP:</translation>
    </message>
    <message>
        <source>-saknas-</source>
        <translation>-missing-</translation>
    </message>
    <message>
        <source>HELO:</source>
        <translation>HELO:</translation>
    </message>
    <message>
        <source>MAIL FROM:</source>
        <translation>MAIL FROM:</translation>
    </message>
    <message>
        <source>RCPT TO:</source>
        <translation>RCPT TO:</translation>
    </message>
    <message>
        <source>Väntar på svar från DNS...</source>
        <translation>Waiting for an answer from DNS...</translation>
    </message>
    <message>
        <source>Forwardning avbruten.</source>
        <translation>Forwarding stopped.</translation>
    </message>
    <message>
        <source>Skickar brev</source>
        <translation>Sending message</translation>
    </message>
    <message>
        <source>av</source>
        <translation>of</translation>
    </message>
    <message>
        <source>Brev skickat.</source>
        <translation>Message sent.</translation>
    </message>
    <message>
        <source>USER:</source>
        <translation>USER:</translation>
    </message>
    <message>
        <source>PASS:</source>
        <translation>PASS:</translation>
    </message>
    <message>
        <source>Frånkopplad.</source>
        <translation>Disconnected.</translation>
    </message>
    <message>
        <source>Förbindelsen med servern bröts.</source>
        <translation>The connection to the server was lost.</translation>
    </message>
    <message>
        <source>Servern svarade inte i tid.</source>
        <translation>The server did not answer in time.</translation>
    </message>
    <message>
        <source>Inte ansluten till servern.</source>
        <translation>Not connected to the server.</translation>
    </message>
    <message>
        <source>Kontonamn och lösenord får inte innehålla radbrytningar.</source>
        <translation>The account name and password must not contain line breaks.</translation>
    </message>
    <message>
        <source>Adresser, Helo-namn och ärende får inte innehålla radbrytningar.</source>
        <translation>Addresses, the HELO name and the subject must not contain line breaks.</translation>
    </message>
    <message>
        <source>DATA:</source>
        <translation>DATA:</translation>
    </message>
    <message>
        <source>Det hämtade brevet kunde inte läsas:</source>
        <translation>The retrieved message could not be read:</translation>
    </message>
    <message>
        <source>Servern har inget betrott certifikat.</source>
        <translation>The server has no trusted certificate.</translation>
    </message>
    <message>
        <source>Certifikatet gäller ett annat namn.</source>
        <translation>The certificate is for another name.</translation>
    </message>
    <message>
        <source>TLS-handskakningen misslyckades.</source>
        <translation>The TLS handshake failed.</translation>
    </message>
    <message>
        <source>Avbrutet av användaren.</source>
        <translation>Stopped by the user.</translation>
    </message>
    <message>
        <source>[Brevet är för stort för att visas helt: bara de första 4 MB visas.]</source>
        <translation>[The message is too large to show in full: only its first 4 MB are shown.]</translation>
    </message>
    <message>
        <source>UIDL:</source>
        <translation>UIDL:</translation>
    </message>
    <message>
        <source>CAPA:</source>
        <translation>CAPA:</translation>
    </message>
    <message>
        <source>AUTH:</source>
        <translation>AUTH:</translation>
    </message>
    <message>
        <source>EHLO:</source>
        <translation>EHLO:</translation>
    </message>
    <message>
        <source>STARTTLS:</source>
        <translation>STARTTLS:</translation>
    </message>
    <message>
        <source>STLS:</source>
        <translation>STLS:</translation>
    </message>
    <message>
        <source>Servern erbjuder ingen kryptering (STARTTLS), så lösenordet skickas inte.</source>
        <translation>The server offers no encryption (STARTTLS), so the password is not sent.</translation>
    </message>
    <message>
        <source>Listan har hämtats på nytt.</source>
        <translation>The list was loaded again.</translation>
    </message>
    <message>
        <source>Serverns svar följde inte kommandona. Förbindelsen stängdes, och inget ändrades på servern.</source>
        <translation>The server&apos;s replies did not follow the commands. The connection was closed, and nothing was changed on the server.</translation>
    </message>
    <message>
        <source>Brevet skickades inte: det saknar avsändare. Skriv din e-postadress i fältet Från eller som E-postadress under Inställningar.</source>
        <translation>The message was not sent: it has no sender. Type your email address in the From field, or as Email address under Settings.</translation>
    </message>
    <message>
        <source>[Texten är för lång för att visas helt: bara de första 20 000 raderna visas.]</source>
        <translation>[The text is too long to show in full: only its first 20,000 lines are shown.]</translation>
    </message>
    <message>
        <source>Servern nekade anslutningen (port %1).</source>
        <translation>The server refused the connection (port %1).</translation>
    </message>
    <message>
        <source>Namnet %1 finns inte.</source>
        <translation>The name %1 does not exist.</translation>
    </message>
    <message>
        <source>Ingen svarade inom %1 s.</source>
        <translation>No answer within %1 s.</translation>
    </message>
    <message>
        <source>Servern kan inte nås härifrån (inget nät eller ingen väg dit).</source>
        <translation>The server cannot be reached from here (no network, or no route to it).</translation>
    </message>
    <message>
        <source>Ange en mailserver.</source>
        <translation>Enter a mail server.</translation>
    </message>
    <message>
        <source>Ingen SMTP-server är inställd (Redigera &gt; Inställningar).</source>
        <translation>No SMTP server is set (Edit &gt; Settings).</translation>
    </message>
    <message>
        <source>Kasta brevet?</source>
        <translation>Discard the message?</translation>
    </message>
    <message>
        <source>Maroket behöver en grafisk skärm (DISPLAY eller WAYLAND_DISPLAY saknas).</source>
        <translation>Maroket needs a graphical display (neither DISPLAY nor WAYLAND_DISPLAY is set).</translation>
    </message>
    <message>
        <source>okänd flagga: %1</source>
        <translation>unknown option: %1</translation>
    </message>
    <message>
        <source>%1 behöver ett värde</source>
        <translation>%1 needs a value</translation>
    </message>
    <message>
        <source>okänt språk: %1 (sv eller en)</source>
        <translation>unknown language: %1 (sv or en)</translation>
    </message>
    <message>
        <source>Servern erbjöd tidigare kryptering (STLS) men gör det inte nu, så varken kontonamn eller lösenord skickas. Någon på vägen kan ha tagit bort erbjudandet.</source>
        <translation>The server offered encryption (STLS) before but does not now, so neither the account name nor the password is sent. Someone on the way may have removed the offer.</translation>
    </message>
    <message>
        <source>Servern erbjöd tidigare kryptering (STARTTLS) men gör det inte nu, så varken inloggning eller brev skickas. Någon på vägen kan ha tagit bort erbjudandet.</source>
        <translation>The server offered encryption (STARTTLS) before but does not now, so neither the login nor the message is sent. Someone on the way may have removed the offer.</translation>
    </message>
    <message>
        <source>brev enligt servern, fler än programmet kan visa (högst 1 000 000).</source>
        <translation>messages according to the server, more than the program can show (at most 1,000,000).</translation>
    </message>
    <message>
        <source>Servern listade</source>
        <translation>The server listed</translation>
    </message>
    <message>
        <source>brev, men STAT angav</source>
        <translation>messages, but STAT said</translation>
    </message>
    <message>
        <source>Minnet räckte inte till, så kommandot avbröts.</source>
        <translation>There was not enough memory, so the command was stopped.</translation>
    </message>
    <message>
        <source>Listan visar bara de första</source>
        <translation>The list shows only the first</translation>
    </message>
    <message>
        <source>brev.</source>
        <translation>messages.</translation>
    </message>
    <message>
        <source>Inloggning utan lösenord behöver programmets klient-id hos leverantören: skriv det som OAuth.%1.ClientId i inställningsfilen.</source>
        <translation>Signing in without a password needs the program&apos;s client ID with the provider: write it as OAuth.%1.ClientId in the settings file.</translation>
    </message>
    <message>
        <source>Inloggningen används inte: adressen %1 måste börja med https:// (http:// bara till den egna datorn).</source>
        <translation>The sign-in is not used: the address %1 must begin with https:// (http:// only to this computer).</translation>
    </message>
    <message>
        <source>Logga in hos %1 i webbläsaren...</source>
        <translation>Sign in with %1 in the browser...</translation>
    </message>
    <message>
        <source>Logga in hos %1 i webbläsaren som öppnades. Maroket fortsätter när inloggningen är klar.</source>
        <translation>Sign in with %1 in the browser that opened. Maroket goes on once you have signed in.</translation>
    </message>
    <message>
        <source>Inloggningen avbröts.</source>
        <translation>The sign-in was cancelled.</translation>
    </message>
    <message>
        <source>Inloggningen gav inget svar inom %1 s.</source>
        <translation>The sign-in gave no answer within %1 s.</translation>
    </message>
    <message>
        <source>Inloggningen avbröts: svaret till programmet hörde inte till den här inloggningen.</source>
        <translation>The sign-in was stopped: the answer sent to the program did not belong to this sign-in.</translation>
    </message>
    <message>
        <source>Inloggningen nekades: %1</source>
        <translation>The sign-in was refused: %1</translation>
    </message>
    <message>
        <source>Webbläsaren kunde inte öppnas för inloggningen.</source>
        <translation>The browser could not be opened for the sign-in.</translation>
    </message>
    <message>
        <source>Inloggningen kunde inte starta: ingen port på 127.0.0.1 tog emot svaret.</source>
        <translation>The sign-in could not start: no port on 127.0.0.1 could take the answer.</translation>
    </message>
    <message>
        <source>Inloggningsservern svarade inte som väntat: %1</source>
        <translation>The sign-in server did not answer as expected: %1</translation>
    </message>
    <message>
        <source>Inget nyckelskåp (Secret Service) svarade, så inloggningen sparas inte: du loggar in i webbläsaren vid varje start.</source>
        <translation>No keyring (Secret Service) answered, so the sign-in is not kept: you will sign in in the browser at every start.</translation>
    </message>
    <message>
        <source>Förnyar inloggningen hos %1...</source>
        <translation>Renewing the sign-in with %1...</translation>
    </message>
    <message>
        <source>Maroket har fått svaret från inloggningen. Du kan stänga den här sidan.</source>
        <translation>Maroket has received the answer from the sign-in. You can close this page.</translation>
    </message>
    <message>
        <source>Servern erbjuder ingen kryptering, så inloggningen med OAuth skickas inte.</source>
        <translation>The server offers no encryption, so the OAuth sign-in is not sent.</translation>
    </message>
</context>
</TS>
