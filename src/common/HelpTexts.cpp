#include "common/HelpTexts.h"

#include "common/ProgramFiles.h"

#include <QStringList>
#include <QStringView>

using namespace Qt::StringLiterals;

namespace clinora::help {

namespace {

// Every text is written as a list of paragraphs so that the separator is put
// in one place only and no paragraph can end up empty or half-joined.
QString joined(const QStringList &paragraphs)
{
    return paragraphs.join(QStringView(kParagraphBreak));
}

QString overviewText()
{
    const QString initialPassword = QStringView(kInitialPassword).toString();
    return joined({
        u"Clinora è un software rivolto agli studi medici: permette di archiviare i dati anagrafici "
        u"di ogni paziente e di registrare e monitorare nel tempo i risultati delle analisi cliniche. "
        u"Tutte le funzioni sono raccolte in tre ambienti di lavoro, ai quali si accede dal menu "
        u"principale che compare subito dopo l'inserimento della password."_s,

        u"Il menu principale è diviso in tre colonne: \"ANAGRAFICA PAZIENTI\", \"ANALISI CLINICHE\" e "
        u"\"RIEPILOGHI RISULTATI\". Per aprire un ambiente di lavoro basta fare clic in un punto "
        u"qualsiasi della colonna corrispondente (immagine, pulsante o descrizione); chiudendo "
        u"l'ambiente di lavoro si torna al menu principale. L'icona in alto a destra apre questa "
        u"guida e l'icona in basso a destra chiude il programma."_s,

        u"L'ambiente \"ANAGRAFICA PAZIENTI\" conserva una scheda per ogni paziente, con i dati "
        u"anagrafici, l'indirizzo di residenza, i recapiti telefonici, l'indirizzo e-mail, il codice "
        u"fiscale, la partita IVA, il numero della tessera sanitaria, l'ASL di appartenenza e il "
        u"gruppo sanguigno."_s,

        u"Ogni scheda raccoglie inoltre la storia clinica del paziente: vaccinazioni, patologie, "
        u"allergie e intolleranze, farmaci assunti, interventi subiti, protesi e handicap "
        u"psicomotori, oltre alle questioni in sospeso e a uno spazio per le note. Per salvare una "
        u"scheda è necessario indicare almeno il cognome e il nome, il telefono preferenziale e il "
        u"codice fiscale di 16 caratteri."_s,

        u"Le schede si scorrono con le frecce in basso a destra oppure si ritrovano con il pulsante "
        u"\"Trova\", che permette di cercare i pazienti combinando fino a dieci criteri diversi. Il "
        u"pulsante \"Da ricontattare\" elenca i pazienti la cui scheda è contrassegnata dall'omonima "
        u"casella, ad esempio quelli con questioni in sospeso da chiarire."_s,

        u"A ogni scheda si possono allegare fino a tre file (referti, immagini, lettere e così via) "
        u"con il pulsante \"Allega file\", mentre il pulsante \"Associa cartella\" apre una cartella "
        u"dedicata al paziente, in cui conservare un numero qualsiasi di documenti. La scheda può "
        u"essere stampata e salvata in formato PDF; i piccoli pulsanti posti accanto ai rispettivi "
        u"campi permettono di inviare una e-mail al paziente e di verificare la correttezza del "
        u"codice fiscale e della partita IVA."_s,

        u"L'ambiente \"ANALISI CLINICHE\" registra i risultati degli esami di laboratorio di ciascun "
        u"paziente. Dopo aver scelto il paziente dall'archivio anagrafico con il pulsante "
        u"\"Seleziona paziente\", si preme \"Registra analisi cliniche\" per aprire il suo archivio: "
        u"ogni esame occupa una scheda con il numero e la data del referto, la data del prelievo, "
        u"l'esame, il risultato, l'unità di misura, i valori di riferimento, l'esito, un commento, "
        u"il firmatario del referto e le note."_s,

        u"Le analisi di ogni paziente sono conservate in un archivio a parte, legato al suo codice "
        u"fiscale. Le date si inseriscono da un calendario, mentre l'elenco degli esami frequenti, "
        u"compilato una volta per tutte con le relative unità di misura e i valori di riferimento, "
        u"permette di riempire questi campi con un doppio clic invece di digitarli ogni volta."_s,

        u"Un esame dal risultato preoccupante si segnala con la casella \"Risultato allarmante\": in "
        u"qualsiasi momento si può poi visualizzare il riepilogo di tutti gli esami allarmanti del "
        u"paziente. La ricerca per criteri consente invece di seguire un singolo esame nel tempo "
        u"oppure di ritrovare tutte le analisi di un determinato prelievo. Anche alle schede delle "
        u"analisi si possono allegare fino a tre file."_s,

        u"L'ambiente \"RIEPILOGHI RISULTATI\" mostra in ordine cronologico i risultati delle analisi "
        u"di un paziente in un intervallo di tempo a scelta all'interno di un anno solare, per tutti "
        u"gli esami oppure per un solo esame, così da seguire l'andamento dei valori rilevati. Il "
        u"riepilogo indica il numero totale delle analisi e può essere stampato."_s,

        u"Clinora può esportare l'intero archivio dei pazienti e l'archivio delle analisi di un "
        u"paziente in file di Microsoft Excel (Pazienti.xls e Analisi_Cliniche.xls), che si aprono "
        u"con qualsiasi foglio di calcolo in grado di leggere il formato XLS. I comandi di "
        u"esportazione si trovano nella scheda anagrafica (\"Esporta archivio\") e nella scheda "
        u"delle analisi cliniche."_s,

        u"Si possono stampare anche gli elenchi prodotti dalle ricerche, l'elenco dei pazienti da "
        u"ricontattare, l'elenco degli esami frequenti, il riepilogo degli esami allarmanti e i "
        u"riepiloghi dei risultati. Prima di ogni stampa compare la finestra di scelta della "
        u"stampante, in cui è possibile anche annullare l'operazione."_s,

        u"Clinora non richiede l'installazione di database o di altri componenti: tutti i dati sono "
        u"conservati in semplici file all'interno della cartella in cui si trova il programma. "
        u"L'archivio dei pazienti è il file Pazienti.pro, gli archivi delle analisi si trovano "
        u"nella cartella Analisi_Cliniche, i file allegati nella cartella Documenti_Allegati, le "
        u"cartelle dei singoli pazienti si chiamano Paziente_ seguito dal numero della scheda e "
        u"l'elenco degli esami frequenti è il file Esami_Frequenti.lst."_s,

        u"Gli archivi vanno modificati soltanto attraverso Clinora: spostando, rinominando o "
        u"modificando a mano questi file e cartelle il programma potrebbe non ritrovare più i "
        u"dati. Fanno eccezione le cartelle dei pazienti, in cui si possono copiare liberamente i "
        u"propri documenti."_s,

        u"Per effettuare una copia di sicurezza (backup) di tutti i dati archiviati basta fare clic "
        u"sul pulsante \"BACKUP\" in basso nel menu principale: Clinora salva pazienti, analisi, "
        u"allegati, cartelle dei pazienti, esami frequenti e password in un unico file, lo rilegge "
        u"per intero per verificarlo e lo conserva nella cartella scelta, ad esempio su un disco "
        u"esterno o su una chiavetta USB. Il pulsante \"RIPRISTINO\" riporta i dati a quelli di un "
        u"backup. Tutti i dettagli sono nell'argomento \"Backup e ripristino dei dati\" della "
        u"guida."_s,

        u"Poiché Clinora conserva tutto nella propria cartella, questa può essere copiata su una "
        u"chiavetta USB e il programma può essere avviato direttamente da lì, anche su un altro "
        u"computer, portando sempre con sé l'archivio completo. Le modifiche apportate lavorando "
        u"sulla chiavetta restano sulla chiavetta: per non ritrovarsi con due archivi diversi, è "
        u"bene lavorare sempre sulla stessa copia e, al termine, ricopiarla dove serve."_s,

        u"Clinora può essere utilizzato anche in una rete locale: è sufficiente collocare la "
        u"cartella del programma in una cartella condivisa della rete e avviare il programma da lì "
        u"su ciascuna postazione. Tutte le postazioni lavorano così sugli stessi archivi."_s,

        u"Gli archivi vengono aperti soltanto per il tempo necessario a leggere o a salvare una "
        u"scheda, ma le postazioni non si bloccano a vicenda: se due persone modificano nello "
        u"stesso momento la stessa scheda, resta valido l'ultimo salvataggio. E' quindi opportuno "
        u"organizzarsi in modo che ogni scheda venga modificata da una sola postazione alla volta."_s,

        u"Sia in locale sia in rete o su chiavetta, Clinora deve poter scrivere nella propria "
        u"cartella. Se la cartella non lo permette, subito dopo l'accesso compare un avviso che ne "
        u"indica il percorso: il programma si può consultare, ma le schede non possono essere "
        u"salvate. Se compare questo avviso o il messaggio \"il sistema non permette di accedere "
        u"all'archivio\", occorre verificare di possedere i privilegi di scrittura nella cartella "
        u"di installazione (in rete, anche sulla cartella condivisa) e che la chiavetta non sia "
        u"protetta da scrittura."_s,

        u"L'accesso a Clinora è protetto da una password, unica per tutta l'installazione e "
        u"valida per chiunque utilizzi il programma: non esistono nomi utente. All'avvio si "
        u"digita la password nella finestra di accesso e si preme \"OK\" oppure il tasto Invio; il "
        u"pulsante \"Esci\" chiude il programma. Nella password le lettere maiuscole e minuscole "
        u"sono considerate uguali."_s,

        u"Al primo accesso si utilizza la password iniziale "_s + initialPassword
            + u", che può essere digitata indifferentemente in lettere maiuscole o minuscole. Per "
              u"proteggere i dati dei pazienti si raccomanda di sostituirla subito con una password "
              u"personale, da conservare con cura."_s,

        u"Per cambiare la password, nella finestra di accesso premere \"Cambia password\", digitare "
        u"la password attuale nel campo \"Vecchia password\" e la nuova password nei campi \"Nuova "
        u"password\" e \"Conferma nuova password\", quindi premere \"OK\". La nuova password va "
        u"scritta nei due campi in modo identico, rispettando anche maiuscole e minuscole; da quel "
        u"momento sarà valida soltanto la nuova password. Si consiglia di usare solo lettere senza "
        u"accenti e cifre: le lettere accentate, infatti, vanno sempre digitate esattamente come "
        u"sono state impostate."_s,

        u"La password è conservata in forma codificata all'interno della cartella del programma: "
        u"una copia di sicurezza della cartella contiene quindi anche la password in vigore al "
        u"momento della copia, e ripristinando una copia si ripristina anche la relativa "
        u"password."_s,

        u"La password si trova nel file unins000.dll della cartella del programma, codificata in "
        u"un modo proprio di Clinora: un file unins000.dll proveniente da un'altra installazione o "
        u"da un altro programma non viene riconosciuto, e con esso nessuna password consente "
        u"l'accesso. Quando si porta in Clinora una cartella di dati da un'altra installazione, "
        u"si copino tutti gli altri file ma si conservi il file unins000.dll di Clinora (password "
        u"iniziale "_s + initialPassword
            + u"). Se la password è stata dimenticata, oppure non è più accettata, chiudere il "
              u"programma e rimettere nella cartella il file unins000.dll originale di Clinora, "
              u"preso da una copia di sicurezza o dal pacchetto di installazione: si entrerà con la "
              u"password iniziale "_s + initialPassword
            + u", da sostituire subito con una password personale."_s,

        u"Le principali schermate di lavoro hanno un pulsante che apre la pagina della guida "
        u"relativa alla schermata in uso. Dalla finestra della guida, il collegamento \"Visualizza "
        u"guida in formato PDF\" "
        u"apre la guida completa all'utilizzo del software, che raccoglie tutte le pagine e può "
        u"essere stampata."_s,

        u"Passando con il mouse sui pulsanti delle schede, la barra in basso mostra una breve "
        u"descrizione del comando. Nei campi di inserimento il tasto Invio porta al campo "
        u"successivo, così da compilare le schede rapidamente senza usare il mouse; il tasto Invio "
        u"non salva mai la scheda: per registrarla occorre sempre premere \"Salva\"."_s,

        u"Per informazioni o assistenza, l'icona in alto a sinistra del menu principale apre la "
        u"finestra \"Informazioni su Clinora\": facendo clic sull'indirizzo "
        u"assistenza@clinora.example.org si apre il programma di posta con un nuovo messaggio già "
        u"pronto. La barra in basso nel menu principale apre invece il sito "
        u"https://www.clinora.example.org."_s,

        u"Clinora si usa anche senza mouse. Il tasto Tab porta da un campo o da un pulsante al "
        u"successivo e Maiusc+Tab al precedente; il pulsante o l'immagine che ha lo stato attivo è "
        u"circondato da una cornice gialla e si preme con Invio o con la barra spaziatrice. Nelle "
        u"schede il tasto Invio passa invece da un campo al successivo. I lettori di schermo "
        u"leggono il nome di ogni comando, il suggerimento che compare nella barra in basso e il "
        u"numero della scheda visualizzata."_s,

        u"Nella scheda anagrafica i comandi hanno anche una combinazione di tasti, indicata dalla "
        u"lettera sottolineata: Alt+N Nuovo, Alt+D Duplica, Alt+S Salva, Alt+A Allega file, Alt+C "
        u"Associa cartella, Alt+T Trova, Alt+P Stampa, Alt+F Crea PDF, Alt+R Da ricontattare, "
        u"Alt+O Esporta archivio, Alt+G Guida, Alt+E Esci. Nella scheda delle analisi cliniche: "
        u"Alt+N Nuovo, Alt+D Duplica, Alt+S Salva, Alt+T Trova, Alt+A Allega file, Alt+P Stampa "
        u"scheda, Alt+O Esporta in Excel, Alt+R Risultati allarmanti, Alt+G Guida, Alt+E Esci, "
        u"Alt+V Svuota la scheda e Alt+I Importa da esami frequenti. In entrambe le schede "
        u"Alt+Home e Alt+Fine mostrano la prima e l'ultima scheda, Alt+Pag su e Alt+Pag giù la "
        u"precedente e la successiva."_s,
    });
}

QString patientsText()
{
    return joined({
        u"La scheda anagrafica raccoglie tutti i dati di un paziente, suddivisi in cinque sezioni: "
        u"i dati anagrafici e di residenza, con il telefono preferenziale, la professione e l'ASL; "
        u"gli altri recapiti (telefono di casa, dell'ufficio e cellulare, fax ed e-mail); il codice "
        u"fiscale, il numero della tessera sanitaria, il gruppo sanguigno, la partita IVA e le "
        u"vaccinazioni; la storia clinica (patologie, allergie e intolleranze, farmaci assunti, "
        u"interventi subiti, protesi e handicap psicomotori); infine le questioni in sospeso e le "
        u"note. La sigla della provincia si può scegliere dall'elenco oppure digitare."_s,

        u"Per inserire un nuovo paziente premere \"Nuovo\", compilare i campi (il tasto Invio passa "
        u"al campo successivo) e premere \"Salva\". Sono obbligatori il cognome e nome, il telefono "
        u"preferenziale e il codice fiscale, che deve essere composto da 16 caratteri alfanumerici; "
        u"tutti gli altri campi sono facoltativi. Per modificare una scheda già in archivio, "
        u"visualizzarla con le frecce in basso a destra (prima, precedente, successiva e ultima "
        u"scheda) o con il pulsante \"Trova\", apportare le modifiche e premere \"Salva\". Il numero "
        u"tra le frecce indica la posizione della scheda in archivio ed è vuoto per una scheda non "
        u"ancora salvata. Attenzione: passando a un'altra scheda senza aver premuto \"Salva\", le "
        u"modifiche apportate vanno perse. Se il codice fiscale è valido, \"Salva\" lo confronta "
        u"con la data di nascita, il sesso, il comune e la provincia di nascita: se qualcuno di "
        u"questi campi è vuoto propone di riempirlo con i dati del codice, se non corrisponde lo "
        u"segnala e chiede se salvare comunque (rispondendo No si torna al campo da correggere). "
        u"Salvando una nuova scheda, il programma avverte se in archivio esiste già una scheda con "
        u"lo stesso codice fiscale, o con lo stesso nome e la stessa data di nascita, e ne indica il "
        u"numero prima di chiedere se salvare comunque."_s,

        u"La casella \"Da ricontattare\", accanto alle questioni in sospeso, serve a ricordare i "
        u"pazienti da richiamare. Dopo averla spuntata e aver salvato la scheda, il pulsante \"Da "
        u"ricontattare\" mostra l'elenco di tutti i pazienti contrassegnati: una voce si trova con "
        u"\"Trova\", l'elenco si stampa con \"Stampa\" e un doppio clic su una voce richiama la "
        u"scheda del paziente. Risolta la questione, basta togliere il segno di spunta e salvare di "
        u"nuovo la scheda."_s,

        u"Il pulsante \"Duplica\" prepara una nuova scheda che riprende tutti i dati della scheda "
        u"visualizzata, tranne i file allegati: è utile, ad esempio, per registrare i familiari di "
        u"un paziente che ne condividono l'indirizzo e i recapiti. Dopo aver apportato le modifiche, "
        u"premere \"Salva\" per inserire la nuova scheda in archivio; la scheda di partenza resta "
        u"invariata. Si può duplicare soltanto una scheda già salvata in archivio."_s,

        u"Il pulsante \"Trova\" apre la ricerca dei pazienti. Si possono compilare uno o più campi "
        u"tra Paziente, Comune di residenza, Partita IVA, Codice fiscale, ASL, Tessera sanitaria, "
        u"Patologie, Farmaci assunti, Questioni in sospeso e Note, scrivendo in ciascuno una o più "
        u"parole consecutive; lasciando in bianco tutti i campi si ottiene l'elenco completo. "
        u"Premendo \"Cerca\" compaiono, in ordine alfabetico, le schede che soddisfano tutti i "
        u"criteri indicati, senza distinzione tra maiuscole e minuscole. Nell'elenco si può cercare "
        u"una parola con \"Trova\" (premendolo di nuovo si passa alla voce successiva), stamparlo "
        u"con \"Stampa\" e richiamare una scheda con un doppio clic."_s,

        u"Con \"Allega file\" si possono collegare alla scheda fino a tre file, ciascuno con una "
        u"breve descrizione: il pulsante \"Sfoglia...\" copia il file scelto nella cartella "
        u"Documenti_Allegati del programma, il pulsante \"Apri\" lo apre con il programma associato "
        u"e \"Applica e chiudi\" riporta gli allegati nella scheda, che va poi salvata con \"Salva\". "
        u"Per conservare un numero maggiore di documenti (esami, radiografie, lettere) si usa "
        u"\"Associa cartella\": il pulsante \"Apri cartella\" crea, se ancora non esiste, una "
        u"cartella dedicata al paziente accanto al programma e la apre, così da potervi copiare o "
        u"trascinare qualsiasi file. La cartella si può associare soltanto a una scheda già salvata "
        u"in archivio."_s,

        u"Accanto al campo E-mail, un piccolo pulsante apre il programma di posta con un nuovo "
        u"messaggio indirizzato al paziente. Il pulsante con il segno di spunta verde accanto al "
        u"codice fiscale ne verifica il carattere di controllo e indica se il codice è valido o "
        u"errato e, per un codice valido, la data e il luogo di nascita che vi sono indicati; se il "
        u"campo contiene solo cifre (il codice fiscale di una società coincide con la "
        u"sua partita IVA) viene eseguito invece il controllo della partita IVA. Il pulsante accanto "
        u"alla partita IVA ne verifica la cifra di controllo e, se il numero è valido, indica "
        u"l'Ufficio IVA che lo ha rilasciato. I controlli non modificano la scheda. Il pulsante con "
        u"la calcolatrice, accanto al controllo del codice fiscale, calcola il codice dal cognome, "
        u"dal nome, dal sesso, dalla data e dal luogo di nascita, ripresi dalla scheda e modificabili; "
        u"il luogo di nascita si sceglie dall'elenco dei comuni e degli Stati esteri che compare "
        u"mentre si scrive, e \"OK\" riporta il codice nella scheda. Il codice di chi ha un "
        u"omonimo con lo stesso codice (omocodia) è modificato dall'Agenzia delle Entrate e non si "
        u"può calcolare."_s,

        u"Il pulsante \"Stampa\" stampa la scheda così come appare sullo schermo, comprese le "
        u"modifiche non ancora salvate, mentre \"Crea PDF\" la salva nel file Paziente.pdf, nella "
        u"cartella del programma, e propone di aprirlo; il file viene sostituito a ogni nuova "
        u"creazione, quindi per conservarlo occorre copiarlo o salvarlo con un altro nome. Un "
        u"dato troppo lungo per la sua riga non viene mai tagliato senza avviso: è scritto più "
        u"piccolo oppure, se non basta, la riga termina con \"(continua)\" e il testo completo è "
        u"stampato in una pagina di seguito, sotto il nome del campo e del paziente. Il "
        u"pulsante \"Esporta archivio\" mostra l'intero archivio dei pazienti in una tabella e lo "
        u"esporta in un file di Microsoft Excel. Il pulsante \"Esci\" chiude la scheda e torna al "
        u"menu principale."_s,
    });
}

QString analysesText()
{
    return joined({
        u"L'applicazione Analisi Cliniche registra i risultati degli esami di laboratorio di ogni "
        u"paziente, per conservarli e seguirne l'andamento nel tempo. Le analisi sono archiviate "
        u"separatamente per ciascun paziente, in un archivio legato al suo codice fiscale: per "
        u"questo il codice fiscale va inserito con cura nella scheda anagrafica, perché "
        u"correggendolo in seguito le analisi già registrate resterebbero legate al codice "
        u"precedente."_s,

        u"Per iniziare, premere \"Seleziona paziente\", cercare il paziente nell'archivio "
        u"anagrafico e sceglierlo con un doppio clic: il nome e il codice fiscale compaiono nei "
        u"campi sottostanti. Premere quindi \"Registra analisi cliniche\" per aprire la scheda delle "
        u"analisi del paziente. I pulsanti con la gomma accanto ai due campi annullano la scelta."_s,

        u"Dalla stessa schermata, il pulsante in alto a destra apre l'elenco degli esami frequenti, "
        u"comune a tutti i pazienti: per ogni esame si indicano la descrizione, l'unità di misura e "
        u"i valori di riferimento e si preme \"Aggiungi all'elenco\"; una voce si elimina "
        u"selezionandola e premendo \"Elimina voce selezionata\". L'elenco può essere stampato con "
        u"\"Stampa elenco\"; le modifiche vengono registrate con \"Salva e chiudi\", mentre "
        u"\"Chiudi senza salvare\" le annulla."_s,

        u"Nella scheda delle analisi, il piccolo pulsante a destra del campo dell'esame apre "
        u"l'elenco degli esami frequenti: dopo aver eventualmente cercato l'esame con \"Trova\", un "
        u"doppio clic sulla voce copia nella scheda l'esame, l'unità di misura e i valori di "
        u"riferimento, che così non devono essere digitati ogni volta."_s,

        u"Ogni scheda corrisponde a un esame e contiene il numero e la data del referto, la data del "
        u"prelievo, l'esame, il risultato, l'unità di misura, i valori di riferimento, l'esito (si "
        u"può scegliere NELLA NORMA o FUORI NORMA dall'elenco oppure scrivere un testo libero), un "
        u"commento, il firmatario del referto e le note. Il nome e il codice fiscale del paziente "
        u"vengono inseriti automaticamente. Le date si prendono dal calendario: fare clic sul campo "
        u"della data, premere un tasto qualsiasi, scegliere il giorno e premere \"Importa\"; i tasti "
        u"Backspace e Canc svuotano il campo."_s,

        u"Per salvare una scheda con \"Salva\" è necessario indicare il numero del referto, la data "
        u"del referto, la data del prelievo, l'esame, il risultato e l'esito; gli altri campi sono "
        u"facoltativi. Una scheda già salvata si modifica visualizzandola con le frecce o con la "
        u"ricerca, apportando le modifiche e premendo di nuovo \"Salva\"."_s,

        u"Poiché un referto di laboratorio contiene di solito molti esami, il pulsante \"Nuovo\" "
        u"prepara una nuova scheda mantenendo il numero e la data del referto, la data del prelievo "
        u"e il firmatario della scheda precedente: basta quindi inserire l'esame successivo e "
        u"salvare. Il pulsante con la gomma accanto al numero del referto, invece, svuota tutti i "
        u"campi della scheda tranne il nome e il codice fiscale del paziente."_s,

        u"Il pulsante \"Duplica\" crea una nuova scheda con tutti i dati della scheda visualizzata, "
        u"esclusi i file allegati; dopo le modifiche, \"Salva\" la inserisce in archivio come nuova "
        u"scheda, lasciando invariata quella di partenza. Si può duplicare soltanto una scheda già "
        u"salvata in archivio."_s,

        u"Se un esame ha dato un risultato preoccupante, spuntare la casella \"Risultato "
        u"allarmante\" prima di salvare la scheda. Il pulsante con il segnale di pericolo mostra il "
        u"riepilogo di tutti gli esami del paziente salvati come allarmanti, in ordine di data del "
        u"prelievo: l'elenco si può stampare e un doppio clic su una voce richiama la scheda "
        u"corrispondente."_s,

        u"Quando il risultato è un numero e i valori di riferimento si leggono come un intervallo "
        u"(ad esempio \"70-110\", \"3,5 - 5,0 mmol/l\", \"<200\", \">40\" o \"fino a 200\"), "
        u"uscendo dal campo del risultato, dell'unità di misura o dei valori di riferimento il "
        u"programma propone nel campo Esito, se è vuoto, \"NELLA NORMA\" oppure \"FUORI NORMA\", e "
        u"la riga in basso ne spiega il motivo (ad esempio \"Valore 182 oltre il limite superiore "
        u"110\"). L'esito proposto si può cambiare; un esito scritto o scelto dall'utente non viene "
        u"mai sostituito. Un risultato fuori dall'intervallo compare su fondo arancione, il colore "
        u"della fascia \"Risultato allarmante\", ma la casella resta una decisione del medico: il "
        u"programma non la spunta mai. Un risultato non numerico (\"negativo\", \"<5\") o dei "
        u"valori di riferimento che non si leggono con certezza (\"vedi nota\", una parola accanto "
        u"ai numeri come \"> 5 positivo\" o \"10-30 insufficienza\", un numero come \"4,500\" o "
        u"\"1.500\" che può indicare le migliaia, due unità diverse, un'unità diversa da quella del "
        u"risultato, un'unità nei valori di riferimento quando quella del risultato non è indicata) "
        u"non producono alcuna proposta. Sono riconosciute le unità di laboratorio consuete (mg/dl, "
        u"mmol/l, U/L, mUI/ml, %, fl, x10^3/µl, /mm3, sec, INR e simili), comunque scritte tra "
        u"maiuscole e minuscole. Nella stampa della scheda un dato troppo lungo per la sua riga "
        u"termina con \"(continua)\" ed è stampato per intero sotto la scheda."_s,

        u"Sotto l'elenco dei risultati allarmanti compare, quando ce ne sono, il numero dei "
        u"risultati fuori dall'intervallo di riferimento che non sono segnati come allarmanti né "
        u"hanno l'esito \"FUORI NORMA\", così che una svista non passi inosservata: il pulsante "
        u"\"Elenca\" li mostra e un doppio clic su una voce richiama la scheda da verificare."_s,

        u"Il pulsante \"Trova\" cerca le schede del paziente in base a uno o più criteri (numero e "
        u"data del referto, data del prelievo, esame, risultato, unità di misura, esito, commento, "
        u"firmatario e note) e le elenca in ordine di data del prelievo. In questo modo si può, ad "
        u"esempio, seguire nel tempo un singolo esame scrivendone il nome nel campo Esame, oppure "
        u"ritrovare tutte le analisi di un prelievo indicandone la data nella forma gg/mm/aaaa. "
        u"L'elenco si può stampare e un doppio clic su una voce richiama la scheda."_s,

        u"Con \"Allega file\" si possono collegare a ogni scheda fino a tre file, ad esempio il "
        u"referto originale acquisito con lo scanner, ciascuno con una descrizione; i file vengono "
        u"copiati nella cartella Documenti_Allegati del programma e si aprono con il pulsante "
        u"\"Apri\". Gli allegati entrano a far parte della scheda quando questa viene salvata."_s,

        u"Il pulsante di stampa stampa la scheda visualizzata, comprese le modifiche non ancora "
        u"salvate, mentre il pulsante di esportazione mostra tutte le schede del paziente in una "
        u"tabella e le esporta in un file di Microsoft Excel. Con le frecce si scorrono le schede "
        u"dell'archivio del paziente; il pulsante di uscita chiude la scheda e torna al menu "
        u"principale."_s,
    });
}

QString summaryText()
{
    return joined({
        u"L'applicazione Riepilogo Risultati Esami raccoglie in un unico elenco i risultati delle "
        u"analisi cliniche di un paziente in un intervallo di tempo, così da seguire nel tempo "
        u"l'andamento dei valori rilevati."_s,

        u"Per richiedere un riepilogo, indicare l'anno solare (viene proposto l'anno in corso) e il "
        u"codice fiscale del paziente, che si può digitare oppure importare dall'archivio "
        u"anagrafico con il pulsante accanto al campo. Nel campo Esame si può indicare l'esame da "
        u"riepilogare, ad esempio glicemia: lasciandolo in bianco si ottiene il riepilogo di tutte "
        u"le analisi del paziente."_s,

        u"Scegliere poi dagli elenchi a cascata il giorno e il mese di inizio e di fine "
        u"dell'intervallo, che si riferisce alla data dei prelievi e cade nell'anno indicato, e "
        u"premere \"Visualizza riepilogo\". Gli esami prelevati nel giorno di inizio e in quello di "
        u"fine sono compresi nel riepilogo."_s,

        u"Il riepilogo elenca in ordine cronologico gli esami compresi nell'intervallo, ciascuno "
        u"con la data del prelievo, l'esame, il risultato, l'unità di misura, i valori di "
        u"riferimento e l'esito; sotto l'elenco sono indicati l'intervallo selezionato e il totale "
        u"delle analisi cliniche."_s,

        u"Per cercare una parola nell'elenco, scriverla nel campo in alto e premere \"Trova\"; "
        u"premendo di nuovo \"Trova\" si passa alla voce successiva che la contiene. Il pulsante "
        u"\"Stampa riepilogo\" stampa l'elenco insieme all'intervallo e al totale, mentre \"Esci\" "
        u"torna alla schermata dei criteri per richiedere un nuovo riepilogo."_s,

        u"Il pulsante \"Grafico\" mostra l'andamento nel tempo dei risultati espressi da un numero "
        u"(con la virgola o il punto come separatore dei decimali), un esame alla volta: i valori "
        u"sono uniti da una linea in ordine di data del prelievo, i valori di riferimento scritti "
        u"come minimo e massimo (ad esempio 70-110, anche seguiti dall'unità di misura) oppure come "
        u"limite (<200, >40, fino a 200) formano una fascia verde, che lascia fuori un estremo "
        u"escluso (200 in <200) e manca dove i valori di riferimento non si leggono, e i "
        u"risultati segnati come allarmanti sono evidenziati in rosso. I risultati non numerici, "
        u"come \"assenti\" o \"<5\", non compaiono nel grafico e ne viene indicato il numero. Il "
        u"grafico si può stampare oppure salvare in un file PDF."_s,

        u"Se la data del prelievo di una scheda risulta danneggiata, la scheda non può essere "
        u"collocata nell'intervallo: non viene elencata e sotto l'elenco è indicato quante schede "
        u"sono state escluse per questo motivo."_s,

        u"Quando alcuni risultati dell'elenco sono fuori dai propri valori di riferimento ma non "
        u"sono segnati come allarmanti né hanno l'esito \"FUORI NORMA\", in fondo alla schermata ne "
        u"viene indicato il numero, così che una svista non passi inosservata; dalla scheda delle "
        u"analisi cliniche, il riepilogo dei risultati allarmanti li elenca e ne richiama la scheda."_s,
    });
}

QString patientExportText()
{
    return joined({
        u"Questa funzione mostra in una tabella tutti i pazienti presenti in archivio, uno per "
        u"riga, e li esporta in un foglio di lavoro di Microsoft Excel. Per avviare l'esportazione "
        u"fare clic sull'icona di Excel in alto e confermare; se l'archivio contiene molte schede "
        u"l'operazione può richiedere alcuni minuti. Alcune colonne della tabella possono essere "
        u"modificate prima dell'esportazione: le modifiche finiscono soltanto nel file esportato, "
        u"non nell'archivio."_s,

        u"Il file Pazienti.xls viene creato nella cartella del programma e al termine Clinora "
        u"propone di aprirlo subito con Microsoft Excel o con un altro foglio di calcolo in grado "
        u"di leggere il formato XLS. Se il file è già aperto in un foglio di calcolo, chiuderlo "
        u"prima di ripetere l'esportazione."_s,

        u"Il file Pazienti.xls viene sostituito a ogni nuova esportazione: per conservarlo basta "
        u"aprirlo e salvarlo con un nome a scelta, e nel formato preferito, con il comando Salva "
        u"con nome del foglio di calcolo."_s,
    });
}

QString analysesExportText()
{
    return joined({
        u"Questa funzione esporta tutte le schede dell'archivio delle analisi cliniche del "
        u"paziente in un foglio di lavoro che può essere aperto con Microsoft Excel o con qualsiasi "
        u"altro programma in grado di leggere i file in formato XLS. La tabella mostra le schede "
        u"nell'ordine in cui sono state inserite, con il numero e la data del referto, la data del "
        u"prelievo, l'esame, il risultato, l'unità di misura, i valori di riferimento, l'esito, il "
        u"commento, il firmatario, le note e l'indicazione dei risultati allarmanti."_s,

        u"Facendo clic sull'icona di Excel e confermando, il file Analisi_Cliniche.xls viene creato "
        u"subito nella cartella del programma e Clinora propone di aprirlo. Le modifiche "
        u"eventualmente apportate nella tabella prima dell'esportazione finiscono soltanto nel "
        u"file, non nell'archivio. Se il file è già aperto in un foglio di calcolo, chiuderlo prima "
        u"di ripetere l'esportazione."_s,

        u"Il file Analisi_Cliniche.xls viene sostituito a ogni nuova esportazione, anche quando "
        u"riguarda un altro paziente: per conservarlo, aprirlo e salvarlo con un nome a scelta (ad "
        u"esempio il nome del paziente) con il comando Salva con nome del foglio di calcolo."_s,
    });
}

QString backupText()
{
    return joined({
        u"Il pulsante \"BACKUP\" del menu principale salva in un unico file una copia di sicurezza di "
        u"tutti i dati: l'archivio dei pazienti (Pazienti.pro), gli archivi delle analisi cliniche "
        u"(cartella Analisi_Cliniche), l'elenco degli esami frequenti, il file della password, i "
        u"file allegati (cartella Documenti_Allegati) e le cartelle dei pazienti. Non vengono "
        u"salvati il programma stesso, la guida e i file che il programma ricrea a ogni uso, come "
        u"le esportazioni in Excel e il PDF della scheda."_s,

        u"La prima volta Clinora chiede in quale cartella conservare i backup, ad esempio su un "
        u"disco esterno, su una chiavetta USB o in una cartella di rete, e la ricorda per le volte "
        u"successive; prima di ogni backup mostra la cartella scelta e, rispondendo No, permette di "
        u"sceglierne un'altra. Ogni backup è un file con la data e l'ora nel nome, ad esempio "
        u"Clinora-backup-2026-12-11-0930.zip, che si apre anche con i comuni programmi per i file "
        u"compressi."_s,

        u"Il backup viene scritto con un nome provvisorio, riletto per intero e confrontato file per "
        u"file con i dati; soltanto se tutto corrisponde riceve il suo nome definitivo e Clinora "
        u"comunica \"Backup completato e verificato\", con la dimensione e il numero dei file. Se "
        u"il disco è pieno, la chiavetta viene scollegata o la verifica trova differenze, il "
        u"programma lo dice chiaramente e non lascia alcun file che possa essere scambiato per un "
        u"backup valido."_s,

        u"Il backup si può eseguire anche mentre il programma è in uso su un'altra postazione della "
        u"rete: ogni archivio viene copiato tra un salvataggio e l'altro, mai a metà di uno. Se un "
        u"archivio resta occupato troppo a lungo, il programma lo segnala e basta ripetere il "
        u"backup poco dopo."_s,

        u"Quando l'ultimo backup verificato risale a più di sette giorni prima, il menu principale "
        u"lo ricorda con una riga in basso. La finestra delle informazioni indica quando e dove è "
        u"stato eseguito l'ultimo backup."_s,

        u"Il pulsante \"RIPRISTINO\" sostituisce i dati attuali con quelli di un backup scelto. "
        u"Il file viene prima controllato per intero: un backup danneggiato viene rifiutato senza "
        u"toccare nulla. Clinora chiede poi conferma indicando la data del backup, il numero dei "
        u"pazienti, degli archivi di analisi e dei file; prima di sostituire i dati salva quelli "
        u"attuali in un ulteriore backup, il cui nome termina con \"prima-del-ripristino\", così "
        u"da poter tornare indietro. Prima di un ripristino chiudere il programma sulle altre "
        u"postazioni: se nel frattempo su un'altra postazione i dati vengono modificati, il "
        u"ripristino non viene eseguito e i dati attuali restano come sono."_s,

        u"Con la casella \"Backup cifrato\" selezionata, il pulsante \"BACKUP\" chiede una frase "
        u"segreta, da scrivere due volte, e cifra il backup con essa: senza la frase nessuno può "
        u"leggerlo. Usare il backup normale per la copia che resta nello studio e quello cifrato per "
        u"ogni copia che ne esce (una chiavetta portata a casa, un disco in un altro ufficio). La "
        u"frase non si può recuperare: conservarla in un luogo sicuro, lontano dal backup. Per "
        u"ripristinare un backup cifrato il programma chiede la stessa frase."_s,

        u"Se un ripristino si interrompe a metà (un blocco del computer, una mancanza di corrente), "
        u"all'avvio successivo Clinora lo completa e lo comunica prima dell'accesso; i dati messi da "
        u"parte non vengono eliminati finché il ripristino non è completo."_s,
    });
}

QString reportImportText()
{
    return joined({
        u"I risultati di un referto di laboratorio si possono importare senza ricopiarli a mano: "
        u"dalla scheda delle analisi cliniche (pulsante \"Importa referto\") o dal menu delle analisi "
        u"cliniche, dopo aver scelto il paziente, si apre il file del referto e ogni risultato "
        u"diventa una riga da controllare."_s,

        u"Il programma legge tre tipi di file. Il referto di laboratorio del Fascicolo Sanitario "
        u"Elettronico, scaricato dal portale del fascicolo: un file XML, oppure il PDF del referto "
        u"che lo contiene come allegato. Il messaggio HL7 (file .hl7 o .txt) che alcuni laboratori "
        u"inviano allo studio. Il PDF semplice di un laboratorio privato: qui il programma legge "
        u"come risultato soltanto una riga in cui esame, risultato, unità di misura e valori di "
        u"riferimento stanno in colonne ben distinte; ogni altra riga è mostrata come testo non "
        u"letto e non viene importata, a meno che non la si completi a mano."_s,

        u"In alto compaiono il laboratorio, il numero e le date del referto, il firmatario e il "
        u"paziente a cui il referto è intestato. Se il codice fiscale del referto non è quello del "
        u"paziente scelto, il programma lo dice e non importa nulla finché non si sceglie il "
        u"paziente giusto con \"Scegli paziente\"."_s,

        u"Ogni riga mostra i campi che la scheda riceverà. Con le frecce ci si sposta tra le "
        u"celle, F2 modifica la cella scelta e la barra spaziatrice sulla prima colonna include o "
        u"esclude la riga. L'esito viene dal segno del laboratorio (H, L, A...) o, se manca, dai "
        u"valori di riferimento; un valore che il programma non riesce a leggere con certezza è "
        u"mostrato come letto, segnalato nella colonna \"Avvisi\", e non riceve alcun esito: "
        u"lo decide il medico. La colonna \"Avvisi\" dice anche quando il testo del referto "
        u"riporta un valore diverso da quello strutturato e quando un testo è più lungo del campo "
        u"della scheda: in quel caso va accorciato, perché il programma non lo taglia."_s,

        u"\"Importa\" inserisce in archivio una scheda per ogni riga spuntata e dice quante sono. "
        u"Se in archivio ci sono già schede con lo stesso numero e la stessa data di referto, il "
        u"programma lo chiede prima di salvare, per non importare due volte lo stesso referto."_s,
    });
}

QString privacyText()
{
    return joined({
        u"Le schede dei pazienti e i risultati delle analisi sono dati sulla salute, che la legge chiede "
        u"di proteggere. Clinora li conserva nella cartella del programma e ogni file che crea (archivi, "
        u"esportazioni in Excel, PDF della scheda, file allegati, password) riceve gli stessi permessi "
        u"della cartella, senza mai essere più aperto di lei. Installato con lo script di installazione, "
        u"la cartella è riservata all'utente che l'ha installato; un backup è sempre leggibile soltanto da "
        u"chi l'ha creato."_s,

        u"Se la cartella o uno dei suoi archivi è accessibile agli altri utenti del computer, dopo "
        u"l'accesso Clinora lo segnala indicando la cartella e il comando che la chiude; rispondendo No "
        u"alla domanda finale l'avviso non viene più ripetuto. Per usare la stessa cartella da due utenti "
        u"o da due postazioni, riservarla a un gruppo di cui fanno parte soltanto loro: i file che Clinora "
        u"crea vi ricevono gli stessi permessi del gruppo."_s,

        u"La password è conservata nel file unins000.dll in forma soltanto mascherata, non cifrata: a "
        u"proteggerla sono i permessi della cartella. Dopo ogni password errata il tentativo successivo "
        u"deve attendere sempre più a lungo (1, 2, 4, 8 secondi e così via, fino a 30 secondi): il tempo "
        u"che resta è indicato sotto la casella della password, anche dopo aver chiuso e riaperto il "
        u"programma. Lo stesso vale per la vecchia password nella finestra \"Cambia password\"."_s,

        u"Se il computer resta senza uso della tastiera e del mouse per 10 minuti, Clinora copre tutte le "
        u"sue finestre con lo schermo di blocco, che chiede la password; la combinazione di tasti Ctrl+L "
        u"blocca subito, ad esempio prima di allontanarsi dalla scrivania. Con la password giusta si torna "
        u"esattamente dove si era, con le schede aperte e le modifiche non ancora salvate. Il pulsante "
        u"\"Esci\" dello schermo di blocco chiude il programma, dopo aver chiesto conferma se ci sono "
        u"schede aperte, le cui modifiche non salvate andrebbero perse."_s,

        u"Il tempo di attesa prima del blocco si imposta nel file Clinora-sicurezza.ini della cartella del "
        u"programma, alla voce Minuti della sezione [Blocco]: ad esempio Minuti=5; con Minuti=0 lo schermo "
        u"si blocca soltanto con Ctrl+L. La modifica vale dall'accesso successivo."_s,
    });
}

} // namespace

Topic topic(TopicId id)
{
    switch (id) {
    case TopicId::Overview:
        return {u"Uno sguardo a Clinora."_s, overviewText()};
    case TopicId::Patients:
        return {u"Applicazione Anagrafica Pazienti."_s, patientsText()};
    case TopicId::AnalysesMenu:
    case TopicId::AnalysisCard:
        return {u"Applicazione Analisi Cliniche."_s, analysesText()};
    case TopicId::Summary:
        return {u"Applicazione Riepilogo Risultati Esami."_s, summaryText()};
    case TopicId::PatientExport:
        return {u"Esportazione archivio pazienti in Microsoft Excel."_s, patientExportText()};
    case TopicId::AnalysesExport:
        return {u"Esportazione archivio analisi cliniche in Microsoft Excel."_s,
                analysesExportText()};
    case TopicId::Backup:
        return {u"Backup e ripristino dei dati."_s, backupText()};
    case TopicId::ReportImport:
        return {u"Importazione dei referti di laboratorio."_s, reportImportText()};
    case TopicId::Privacy:
        return {u"Riservatezza dei dati e blocco dello schermo."_s, privacyText()};
    }
    return {};
}

QList<TopicId> allTopics()
{
    // AnalysisCard is left out: it shares the AnalysesMenu text word for word.
    return {TopicId::Overview,     TopicId::Patients,      TopicId::AnalysesMenu,
            TopicId::Summary,      TopicId::PatientExport, TopicId::AnalysesExport,
            TopicId::Backup,       TopicId::ReportImport,
            TopicId::Privacy};
}

} // namespace clinora::help
