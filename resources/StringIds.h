#pragma once

// The ids of the program's Swedish texts in the string table (resources/CStringTable.cpp). Each
// text is named here once; the code and the tests load texts by these names. Each has its English
// in translations/maroket_en.ts.
enum class StringId : int {
    // Start-up.
    SocketsUnavailable = 103, // "Winsock kunde inte startas."
    // List column titles.
    ColumnFrom = 105,
    ColumnSubject = 106,
    ColumnDate = 107,
    ColumnSize = 108,
    // Connect, load and disconnect.
    ConnectingTo = 109,
    AccountBusy = 110,
    AccountStillBusy = 111,
    BusyGaveUp = 112,
    FetchingInfo = 113,
    DoneAccountHas = 114,
    MessagesTotalling = 115, // follows the count: CStringTable::loadCounted
    FetchingMessageInfo = 116,
    Disconnecting = 118,
    // Hints and the delete question.
    SelectOneToView = 119,
    SelectToDelete = 120,
    ReallyDelete = 121,
    MessagesQuestion = 122, // counted
    Deleting = 123,
    SelectToForward = 125,
    FetchingMessage = 126,
    Sending = 132,
    SelectToReply = 134,
    MarkedCount = 135, // counted
    // About box credits.
    ShortCredits = 136,
    LongCredits = 137,
    // The address test.
    CheckingAddress = 139,
    AddressValid = 141,
    // POP3 login and the labels that prefix a refused command's reply.
    CannotConnect = 143,
    GreetingRefused = 144,
    QuitLabel = 147,
    DeleLabel = 148,
    RsetLabel = 149,
    StatLabel = 150,
    NoopLabel = 151,
    ListLabel = 152,
    RetrLabel = 153,
    TopLabel = 154,
    Missing = 155,
    // SMTP labels and results.
    HeloLabel = 156,
    MailFromLabel = 157,
    RcptToLabel = 158,
    RecipientAccepted = 159,
    WaitingForDns = 160,
    ForwardCancelled = 528,
    SendingMessage = 529,
    Of = 531,
    MessageSent = 533,
    UserLabel = 545,
    PassLabel = 546,
    Disconnected = 604,
    // A lost or silent connection, and typed input that cannot go into a command line.
    ConnectionLost = 701,
    TimedOut = 702,
    NotConnected = 703,
    LineBreakInLogin = 704,
    LineBreakInField = 705,
    DataLabel = 706,
    RetrievedUnreadable = 707,
    // Why a TLS connection was refused; each follows CannotConnect.
    UntrustedCertificate = 708,
    NameMismatch = 709,
    HandshakeFailed = 710,
    // The user stopped a wait on the server; a reply too long to show whole.
    CancelledByUser = 715,
    CutNote = 716,
    // The label of the unique-id listing.
    UidlLabel = 720,
    CapaLabel = 721,
    // Submission: the labels of EHLO, STARTTLS, STLS and AUTH, and the password kept back from
    // a server that offers no TLS.
    AuthLabel = 730,
    EhloLabel = 731,
    StartTlsLabel = 732,
    StlsLabel = 733,
    PasswordNeedsTls = 734,
    // After the user stopped a download or a delete run, the list was loaded anew.
    ListReloaded = 740,
    // The server's replies did not follow the commands: the connection was dropped unused.
    OutOfStep = 750,
    // Mail without a sender is not sent.
    NoSenderAddress = 760,
    // The content window shows a text only up to so many lines.
    ContentCutNote = 770,
    // A server that offered TLS before and does not now: nothing is sent to it.
    StlsWithdrawn = 771,
    StartTlsWithdrawn = 772,
    // A mailbox whose count is more than the program lists, or that LIST does not bear out.
    TooManyMessages = 773,
    ServerListed = 774,
    MessagesButStatSaid = 775,
    // A command that ran out of memory ended with a text instead of ending the program.
    OutOfMemory = 776,
    // The user stopped a long list of rows: only the first ones are shown.
    ListShowsFirst = 777,
    MessagesEnd = 778,
    // Why a connect failed, after CannotConnect; "%1" stands for the port, the name or the
    // seconds.
    ServerRefused = 780,
    UnknownHostName = 781,
    NoAnswerWithin = 782,
    ServerUnreachable = 783,
    // What is missing before a connect or a send can start.
    EnterMailServer = 784,
    NoSmtpServer = 785,
    // The compose window closed with typed text in it.
    DiscardMessage = 786,
    // The command line: no display, an option the program does not know or that lacks its
    // value ("%1" the option).
    NoDisplay = 790,
    UnknownOption = 791,
    OptionNeedsValue = 792,
    // --language names a language the program does not speak ("%1" the name).
    UnknownLanguage = 800,
    // Signing in without a password (OAuth 2.0): what is missing or unsafe in a provider's entry
    // ("%1" its name or the address), the sign-in in the browser and how it ended, and where the
    // sign-in is kept.
    OAuthNoClientId = 810,
    OAuthUnsafeUrl = 811,
    OAuthSigningIn = 812,
    OAuthWaitText = 813,
    OAuthCancelled = 814,
    OAuthNoAnswer = 815,
    OAuthForeignAnswer = 816,
    OAuthRefused = 817,
    OAuthBrowserFailed = 818,
    OAuthCannotListen = 819,
    OAuthServerFailed = 820,
    OAuthNotKept = 821,
    OAuthRenewing = 822,
    OAuthAnswerPage = 823,
    // An account that signs in with OAuth 2.0 on a server that offers no TLS: no token is sent.
    TokenNeedsTls = 840,
};
